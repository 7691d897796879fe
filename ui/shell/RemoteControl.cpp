#include "ui/shell/RemoteControl.h"

#include "ui/shell/CVireoDlg.h"

RemoteControl::RemoteControl(CVireoDlg& dialog, QObject* parent)
    : QObject(parent), requests(dialog.link(), dialog.store(), dialog.dpiTables()) {
    requests.beforeChange = [&dialog] { dialog.CollectControls(); };
    requests.afterChange = [&dialog] {
        // A link added or removed may change which profile belongs on the mouse.
        dialog.automatic().profilesChanged();
        dialog.RefreshAll();
    };
    requests.ending = [&dialog] { return dialog.hasEnded(); };
    connect(&dialog, &QDialog::finished, this, [this] { requests.finishAll(); });
}

void RemoteControl::handle(const QByteArray& line, std::function<void(const QByteArray&)> reply) {
    requests.handle(line, std::move(reply));
}
