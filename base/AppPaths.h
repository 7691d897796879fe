#pragma once

#include <QString>
#include <QUrl>

// The folders of the program. Paths read from files may use backslashes as stored on the
// mouse's original platform; they are kept as written and turned into native paths only here.
class AppPaths {
public:
    // Folder of the running executable, with a trailing "/".
    static QString programFolder();
    // Where the shipped files (skins/, data/) are, with a trailing "/": the program folder itself
    // when it holds skins/ or data/ (the build tree), else "<program folder>/../share/vireo/" (an
    // installed program, under whatever prefix it was installed).
    static QString shareFolder();
    static QString shareFolderFor(const QString& programFolder);
    // The README that came with this copy: "<program folder>/../share/doc/vireo/README.md" when
    // installed, README.md beside the programs of a build tree.
    static QString readmeFor(const QString& programFolder);
    // The udev rule that came with this copy: 70-vireo.rules in the prefix's udev folder when
    // installed, beside the programs of a build tree.
    static QString udevRuleFor(const QString& programFolder);
    static QString udevRule();
    // Where the window's link and its support message lead: the web page the build names
    // (VIREO_PROJECT_URL), or else this copy's README.
    static QUrl homepage();
    static QUrl homepageFor(const QString& programFolder, const QString& configured);
    // "$XDG_CONFIG_HOME/GamingMouseData202400617/" ("~/.config" when unset), or VIREO_DATA_DIR when
    // set. Always ends with "/". Does not create anything.
    static QString dataFolder();
    // Creates the data folder and its "config" subfolder; failures are ignored (later file
    // operations fail quietly in their own places).
    static void ensureDataFolders(const QString& dataFolder);

    // "config\config.ini" → "config/config.ini".
    static QString toNative(const QString& storedPath);
    // A stored path made absolute: relative paths resolve against the data folder, never against
    // the current directory. An empty stored path stays empty (it names no file).
    static QString resolve(const QString& dataFolder, const QString& storedPath);
};
