#include "app/ToolkitSettingsRestorer.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace telvar5 {

namespace {
const QString kDialogGroup = QStringLiteral("FileDialog");

// The store as the dialog opens it, without the machine-wide fallbacks: what
// is read here is written back to the user's store only.
struct ToolkitStore {
    QSettings settings{QSettings::UserScope, ToolkitSettingsRestorer::toolkitOrganisation()};
    ToolkitStore() { settings.setFallbacksEnabled(false); }
};

#ifdef _WIN32
// The key the toolkit's store is a subkey of.
const QString kUserSoftware = QStringLiteral("HKEY_CURRENT_USER\\Software");
#endif
} // namespace

const QString& ToolkitSettingsRestorer::toolkitOrganisation()
{
    static const QString name = QStringLiteral("QtProject");
    return name;
}

bool ToolkitSettingsRestorer::storeExists()
{
#ifdef _WIN32
    const QSettings software(kUserSoftware, QSettings::NativeFormat);
    return software.childGroups().contains(toolkitOrganisation(), Qt::CaseInsensitive);
#else
    return QFileInfo::exists(ToolkitStore().settings.fileName());
#endif
}

ToolkitSettingsRestorer::ToolkitSettingsRestorer() : storeExisted_(storeExists())
{
    ToolkitStore store;
    store.settings.beginGroup(kDialogGroup);
    for (const QString& key : store.settings.allKeys())
        dialogKeys_.emplace_back(key, store.settings.value(key));
}

ToolkitSettingsRestorer::~ToolkitSettingsRestorer()
{
    {
        ToolkitStore store;
        store.settings.remove(kDialogGroup);
        for (const auto& [key, value] : dialogKeys_)
            store.settings.setValue(kDialogGroup + QLatin1Char('/') + key, value);
        store.settings.sync();
        if (storeExisted_ || !store.settings.allKeys().isEmpty())
            return;
    }
    // The run made the store: nothing of it stays.
#ifdef _WIN32
    QSettings software(kUserSoftware, QSettings::NativeFormat);
    software.remove(toolkitOrganisation());
#else
    QFile::remove(ToolkitStore().settings.fileName());
#endif
}

} // namespace telvar5
