#include "script/TvxScriptDocument.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/EvxPlatformError.h"
#include "platform/TvxPlatformFiles.h"
#include "platform/vxFileIo.h"
#include "platform/vxPath.h"
#include "script/TvxScriptFileVersion.h"
#include "script/TvxScriptTableList.h"
#include "script/TvxUpdateFileVersion.h"
#include "script/cpvxScriptLoader.h"
#include "stream/EvxStreamError.h"
#include "stream/TvxFileStream.h"

namespace morvane {

void WriteScriptDocument(TvxStream& stream, std::string_view appName, const TvxDBScriptLoader& script,
                         const TvxSectionWriter& writeTables)
{
    TvxScriptFileVersion(std::string(appName), vxScriptVersion, fkScriptDocument).WriteTo(stream);
    script.SaveToStream(stream);
    if (writeTables)
        writeTables(stream);
}

void ReadScriptDocument(TvxStream& stream, TvxDBScriptLoader& script, const TvxSectionReader& readTables)
{
    TvxUpdateFileVersion header;
    header.ReadFrom(stream);
    script.LoadFromStream(stream);
    if (readTables)
        readTables(stream);
}

namespace {

// The file a save replaces: a symbolic link is followed, so that the file it points to gets
// the new content and the link stays a link.
std::filesystem::path SaveTarget(const std::string& fileName)
{
    namespace fs = std::filesystem;
    const fs::path path = vxPath(fileName);
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec)))
        return path;
    const fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path : resolved;
}

} // namespace

void SaveFileAtomically(const std::string& fileName, const std::function<void(TvxStream&)>& write)
{
    namespace fs = std::filesystem;
    const fs::path target = SaveTarget(fileName);
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string leaf(".");
    leaf.append(vxPathString(target.filename()));
    leaf.append(".XXXXXX");
    std::string tmpName = vxPathString(dir) + "/" + leaf;
    const TvxFileHandle fd = vxMakeTempFile(tmpName);
    if (fd == vxNoFileHandle)
        throw EFCreateError(fileName);
    const std::string targetName = vxPathString(target);
    vxSetFileMode(fd, vxModeForReplacing(targetName));
    vxCloseFile(fd);
    try {
        {
            TvxFileStream file(tmpName, TvxFileStream::Mode::OpenReadWrite);
            write(file);
            if (!file.Sync() || !file.Close())
                throw EWriteError(SWriteError);
        }
        TvxPlatformFiles::System().MoveReplacing(tmpName, targetName);
    } catch (const EvxPlatformError&) {
        TvxPlatformFiles::System().RemoveFile(tmpName);
        throw EFCreateError(fileName);
    } catch (...) {
        TvxPlatformFiles::System().RemoveFile(tmpName);
        throw;
    }
}

void SaveScriptDocument(const std::string& fileName, std::string_view appName, const TvxDBScriptLoader& script,
                        const TvxSectionWriter& writeTables)
{
    SaveFileAtomically(fileName, [&](TvxStream& stream) { WriteScriptDocument(stream, appName, script, writeTables); });
}

void SaveScriptDocument(const std::string& fileName, std::string_view appName, const TvxDBScriptLoader& script,
                        const TvxScriptTableList& tables)
{
    SaveScriptDocument(fileName, appName, script, [&](TvxStream& stream) { tables.WriteAllDescriptors(stream); });
}

void OpenScriptDocument(const std::string& fileName, TvxDBScriptLoader& script, const TvxSectionReader& readTables)
{
    TvxFileStream file(fileName, TvxFileStream::Mode::OpenRead);
    ReadScriptDocument(file, script, readTables);
}

bool OpenScriptDocument(const std::string& fileName, TvxDBScriptLoader& script, TvxScriptTableList& tables)
{
    bool read = false;
    OpenScriptDocument(fileName, script, [&](TvxStream& stream) { read = tables.ReadAllDescriptors(stream); });
    return read;
}

} // namespace morvane
