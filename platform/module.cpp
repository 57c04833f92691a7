#include "platform/module.h"

#include <dlfcn.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "platform/processend.h"

namespace quintelle::platform {

QStringList moduleCandidates(const char* file) {
    const QDir folder(QCoreApplication::applicationDirPath());
    const QString name = QString::fromLatin1(file);
    return {folder.filePath(name),
            folder.filePath(QStringLiteral(QUINTELLE_MODULES_FROM_PROGRAM "/") + name)};
}

void* openModule(const QStringList& candidates, const char* entry, QString& reason) {
    reason.clear();
    for (const QString& path : candidates) {
        // RTLD_LOCAL: nothing the module brings enters the program's own
        // symbol lookups.
        void* module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            // The first failure says why, unless a later candidate is there
            // and fails to load: that one says more.
            if (reason.isEmpty() || QFile::exists(path)) reason = QString::fromLocal8Bit(dlerror());
            continue;
        }
        if (void* address = dlsym(module, entry)) {
            keepLibrariesAtExit();  // never closed, nor taken down at exit
            return address;
        }
        reason = path + QStringLiteral(": no ") + QString::fromLatin1(entry);
    }
    return nullptr;
}

}  // namespace quintelle::platform
