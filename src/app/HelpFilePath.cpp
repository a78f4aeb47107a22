#include "app/HelpFilePath.h"

#include <QDir>
#include <QFileInfo>

#include "res/ResourceIds.h"

namespace tessival {

QString HelpFilePath(const QString& executableFolder) {
    const QDir folder(executableFolder);
    const QString name = QString::fromLatin1(kHelpFile);
    const QString installed = QDir::cleanPath(folder.filePath(QStringLiteral("../share/tessival/") + name));
    const QString built = folder.filePath(name);
    for (const QString& candidate : {installed, built})
        if (QFileInfo(candidate).isFile()) return candidate;
    return installed;
}

}  // namespace tessival
