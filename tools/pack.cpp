// lumavine-tool pack / unpack: builds a launcher that carries files packed
// behind its own image, with the matching index "ix" beside it, and lists or
// extracts what a launcher's index describes. docs/launcher.md tells how
// the player finds the packed files. "-" is standard output for pack's
// launcher or index and standard input for any file either command reads
// (once per run); "-" has no folder, so its index is named with --index.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/text.h"
#include "shell/launcher_command.h"
#include "shell/packed_files.h"
#include "shell/packed_index.h"
#include "shell/file_services.h"
#include "shell/file_writer.h"
#include "tool_args.h"
#include "tool_command.h"

namespace lv::tool {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kStubFileName = "lumavine-launcher.exe";
constexpr std::uint64_t kMaxLauncherSize = 0xFFFFFFFFull;  // offsets and sizes are 32-bit

int fail(const std::string& message) {
    std::fprintf(stderr, "lumavine-tool: %s\n", message.c_str());
    return 1;
}

fs::path toolPath() {
#ifdef _WIN32
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return fs::path(path);
#else
    std::error_code ignored;
    return fs::read_symlink("/proc/self/exe", ignored);
#endif
}

// Standard input, read whole; it can be read once per run.
std::optional<std::string> readStandardInput() {
    static bool taken = false;
    if (std::exchange(taken, true)) return std::nullopt;
    std::FILE* in = binaryStandardInput();
    std::string bytes;
    char piece[65536];
    for (std::size_t n; (n = std::fread(piece, 1, sizeof piece, in)) > 0;) {
        if (bytes.size() + n > kMaxWholeFile) return std::nullopt;
        bytes.append(piece, n);
    }
    if (std::ferror(in)) return std::nullopt;
    return bytes;
}

bool isDash(const fs::path& path) { return path == "-"; }
std::string shown(const fs::path& path) {
    return isDash(path) ? "standard input (read once per run, at most 256 MiB)" : path.string();
}

std::optional<std::string> readFile(const fs::path& path) {
    if (isDash(path)) return readStandardInput();
    std::error_code ec;
    if (fs::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

// Through the shared writer: a regular target is replaced only when every
// part was written, and a target that cannot be replaced is left alone.
bool writeParts(const fs::path& target, const std::vector<const std::string*>& parts, std::string& error) {
    FileWriter out;
    if (!out.open(target.string(), error)) return false;
    for (const std::string* part : parts) out.write(*part);
    return out.commit(error);
}

fs::path indexBeside(const fs::path& launcher) { return launcher.parent_path() / "ix"; }

struct PackItem {
    std::string name;
    fs::path source;
};

// "NAME=PATH" packs PATH as NAME. A plain PATH is packed as "*/" and its
// file name, except the launcher's own script (the launcher's name with
// ".scr"), which is packed under the loader path marker so that the player's
// script loader finds it wherever the launcher is installed.
PackItem packItem(std::string_view argument, const fs::path& launcher) {
    if (const std::size_t eq = argument.find('='); eq != std::string_view::npos && eq > 0)
        return PackItem{std::string(argument.substr(0, eq)), fs::path(argument.substr(eq + 1))};
    const fs::path source{std::string(argument)};
    const std::string file = source.filename().string();
    const std::string ownScript = launcher.stem().string() + ".scr";
    if (equalsNoCase(file, ownScript)) return PackItem{std::string(kLoaderPathMarker) + file, source};
    return PackItem{"*/" + file, source};
}

struct PackOptions {
    fs::path launcher, stub, index;
    std::vector<PackItem> items;
};

std::optional<PackOptions> readPackOptions(Args args) {
    PackOptions options;
    std::vector<std::string_view> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if ((a == "--stub" || a == "--index") && i + 1 < args.size()) {
            (a == "--stub" ? options.stub : options.index) = fs::path(args[++i]);
        } else if (a.starts_with("--")) {
            return std::nullopt;
        } else if (options.launcher.empty()) {
            options.launcher = fs::path(std::string(a));
        } else {
            files.push_back(a);
        }
    }
    if (options.launcher.empty()) return std::nullopt;
    if (options.stub.empty()) options.stub = toolPath().parent_path() / kStubFileName;
    if (options.index.empty() && !isDash(options.launcher)) options.index = indexBeside(options.launcher);
    for (std::string_view f : files) options.items.push_back(packItem(f, options.launcher));
    return options;
}

int runPack(Args args) {
    const auto options = readPackOptions(args);
    if (!options) {
        std::fprintf(stderr,
                     "  --stub   the launcher program to pack into (default: %.*s beside this tool)\n"
                     "  --index  where to write the index (default: ix beside OUT.exe, the player's folder)\n"
                     "  NAME=    the name the player opens the file by (default: */FILE's name, or\n"
                     "           %%loaderpath%%OUT.scr for the launcher's own script OUT.scr)\n",
                     static_cast<int>(kStubFileName.size()), kStubFileName.data());
        return 2;
    }
    if (options->index.empty()) return fail("a launcher on standard output needs --index IX");
    if (isDash(options->launcher) && isDash(options->index))
        return fail("the launcher and its index cannot both go to standard output");
    const auto stub = readFile(options->stub);
    if (!stub) return fail("cannot read the launcher stub " + shown(options->stub) + " (give it with --stub)");
    std::vector<std::string> contents;
    std::vector<PackedEntry> entries;
    std::uint64_t end = stub->size();
    for (const PackItem& item : options->items) {
        auto bytes = readFile(item.source);
        if (!bytes) return fail("cannot read " + shown(item.source));
        if (end + bytes->size() > kMaxLauncherSize) return fail("the launcher would pass 4 GiB at " + item.name);
        entries.push_back(PackedEntry{item.name, 0, static_cast<std::uint32_t>(bytes->size()),
                                      static_cast<std::uint32_t>(end)});
        end += bytes->size();
        contents.push_back(std::move(*bytes));
    }
    const auto index = encodePackedIndex(entries);
    if (!index) return fail("a packed name is longer than " + std::to_string(PackedEntry::kMaxName) + " characters");
    std::vector<const std::string*> parts{&*stub};
    for (const std::string& c : contents) parts.push_back(&c);
    const std::string indexBytes(index->begin(), index->end());
    std::string error;
    if (!writeParts(options->launcher, parts, error)) return fail(error);
    if (!isDash(options->launcher) && !isDash(options->stub)) {
        std::error_code ignored;  // the launcher runs like its stub
        fs::permissions(options->launcher, fs::status(options->stub).permissions(), ignored);
    }
    if (!writeParts(options->index, {&indexBytes}, error)) return fail(error);
    // The listing goes beside what standard output carries.
    std::FILE* listing = isDash(options->launcher) || isDash(options->index) ? stderr : stdout;
    for (const PackedEntry& e : entries)
        std::fprintf(listing, "%s\t%u bytes at %u\n", e.name.c_str(), e.size, e.offset);
    return 0;
}

// The last part of a packed name, the file name an extracted file gets;
// empty when the name has none that is safe to write.
std::string extractedName(const std::string& packedName) {
    const std::size_t cut = packedName.find_last_of("\\/:%");
    std::string name = cut == std::string::npos ? packedName : packedName.substr(cut + 1);
    if (name.empty() || name == "." || name == "..") return {};
    return name;
}

int runUnpack(Args args) {
    fs::path indexPath;
    std::vector<fs::path> positional;
    bool badOption = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--index" && i + 1 < args.size())
            indexPath = fs::path(args[++i]);
        else if (a.starts_with("--"))
            badOption = true;
        else
            positional.emplace_back(std::string(a));
    }
    if (badOption || positional.empty() || positional.size() > 2) {
        return 2;
    }
    const fs::path launcher = positional[0];
    const fs::path folder = positional.size() > 1 ? positional[1] : fs::path();
    if (indexPath.empty() && isDash(launcher)) return fail("a launcher on standard input needs --index IX");
    if (indexPath.empty()) indexPath = indexBeside(launcher);
    const auto bytes = readFile(launcher);
    if (!bytes) return fail("cannot read " + shown(launcher) + (isFolder(launcher.string()) ? ": is a folder" : ""));
    const auto index = readFile(indexPath);
    if (!index) return fail("cannot read the index " + shown(indexPath));
    const auto entries = parsePackedIndex(
        std::span(reinterpret_cast<const std::uint8_t*>(index->data()), index->size()), bytes->size());
    if (!folder.empty()) {
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (!isFolder(folder.string())) return fail("cannot make the folder " + folder.string());
    }
    int failures = 0;
    for (const PackedEntry& e : entries) {
        std::printf("%s\t%u bytes at %u%s\n", e.name.c_str(), e.size, e.offset, e.usable() ? "" : "\tunusable");
        if (folder.empty() || !e.usable()) continue;
        const std::string name = extractedName(e.name);
        const std::string data = bytes->substr(e.offset, e.size);
        std::string error = "no file name to write";
        if (name.empty() || !writeParts(folder / name, {&data}, error)) {
            fail("cannot extract " + e.name + ": " + error);
            ++failures;
        }
    }
    return failures ? 1 : 0;
}

const ToolCommand pack{"pack", "OUT.exe|- [--stub EXE] [--index IX|-] [NAME=]FILE...",
                       "build a launcher carrying the files, and its index ix beside it", runPack};
const ToolCommand unpack{"unpack", "LAUNCHER|- [DIR] [--index IX|-]", "list (or extract into DIR) a launcher's packed files",
                         runUnpack};

}  // namespace

}  // namespace lv::tool
