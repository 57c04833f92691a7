#include "platform/buildid.h"

#include <elf.h>
#include <link.h>

#include <cstring>

namespace quintelle::platform {

namespace {

size_t aligned4(size_t n) {
    return (n + 3) & ~size_t{3};
}

// Walks the notes of the main program's loaded segments for NT_GNU_BUILD_ID.
int findBuildId(dl_phdr_info* info, size_t, void* out) {
    auto* id = static_cast<QByteArray*>(out);
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_NOTE) continue;
        const auto* at = reinterpret_cast<const char*>(info->dlpi_addr + segment.p_vaddr);
        const char* const end = at + segment.p_memsz;
        while (at + sizeof(ElfW(Nhdr)) <= end) {
            ElfW(Nhdr) note;
            std::memcpy(&note, at, sizeof note);
            const char* name = at + sizeof note;
            const char* desc = name + aligned4(note.n_namesz);
            if (desc + note.n_descsz > end) break;
            if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 &&
                std::memcmp(name, "GNU", 4) == 0) {
                *id = QByteArray(desc, static_cast<qsizetype>(note.n_descsz)).toHex();
                return 1;
            }
            at = desc + aligned4(note.n_descsz);
        }
    }
    return 1;  // the first object visited is the program itself
}

}  // namespace

QByteArray programBuildId() {
    static const QByteArray id = [] {
        QByteArray found;
        dl_iterate_phdr(findBuildId, &found);
        return found;
    }();
    return id;
}

}  // namespace quintelle::platform
