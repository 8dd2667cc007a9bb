#include "script/service_script_files.h"

#include "shell/file_services.h"

namespace lv {

std::vector<std::string> ServiceScriptFiles::listScripts(std::string_view folder) {
    std::vector<std::string> names = listFiles(std::string(folder) + "*.scr", kMaxListed);
    // The listing gives the folder part too; callers want the names alone.
    for (std::string& name : names)
        if (name.size() >= folder.size() && name.compare(0, folder.size(), folder) == 0) name.erase(0, folder.size());
    sortNoCase(names);
    return names;
}

std::optional<std::string> ServiceScriptFiles::readWhole(std::string_view path) {
    const std::optional<FileBytes> file = readWholeFile(path, false);
    if (!file) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(file->bytes.data()), file->length);
}

}  // namespace lv
