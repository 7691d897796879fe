#!/usr/bin/env bash
# Fails when an include runs against the layers: a folder may include only itself and the folders
# listed for it here (transitively lower layers are listed explicitly, so the rule reads in one place).
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A allowed=(
    [base]="base"
    [buttons]="base buttons"
    [macros]="base buttons macros"
    [settings]="base buttons macros settings"
    [features]="base buttons macros settings features"
    [focus]="base buttons macros settings features focus"
    [device/hid]="base device/hid"
    [device]="base buttons macros settings features device/hid device"
    [device/sim]="base buttons macros settings features device/hid device device/sim"
    [session]="base buttons macros settings features device/hid device device/sim focus session"
    [cli]="base buttons macros settings features device/hid device device/sim focus session cli"
    [toolkit]="base toolkit"
    [ui]="base buttons macros settings features device/hid device device/sim focus session toolkit ui"
)
status=0
for folder in "${!allowed[@]}"; do
    # Files directly in the folder; ui/ counts with all of its subfolders.
    depth=(-maxdepth 1)
    [ "$folder" = ui ] && depth=()
    while IFS= read -r file; do
        while IFS= read -r included; do
            dir=$(dirname "$included")
            case "$dir" in ui/*) dir=ui ;; esac
            ok=0
            for a in ${allowed[$folder]}; do [ "$dir" = "$a" ] && ok=1; done
            if [ $ok -eq 0 ]; then
                echo "$file includes $included, which $folder/ may not use"
                status=1
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$file")
    done < <(find "$folder" "${depth[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null)
done
# Widgets live in toolkit/ and ui/ only.
if misplaced=$(find . -path ./build\* -prune -o -path ./.git -prune -o -path ./toolkit -prune -o -path ./ui -prune -o \
        -path ./tests -prune -o -path ./tools -prune -o -path ./bench -prune -o -name 'C[A-Z]*.cpp' -print | grep .); then
    echo "window classes outside toolkit/ and ui/:"
    echo "$misplaced"
    status=1
fi
[ $status -eq 0 ] && echo "layers: every include follows the layers"
exit $status
