#include "db/paradox/ParadoxWriter.h"

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxFamilyChecker.h"
#include "db/paradox/ParadoxLayout.h"
#include "db/paradox/ParadoxTableHeader.h"
#include "db/paradox/ParadoxWriterFamily.h"
#include "db/paradox/ParadoxWriterPlan.h"
#include "model/vxTextCase.h"

#include <filesystem>

#include "platform/vxFileIo.h"

namespace morvane {

namespace {

namespace H = ParadoxHeader;

// Extensions of a table's family (Xnn/Ynn/XGn/YGn by their first letter).
bool familyExtension(const std::string& ext)
{
    const std::string e = UpperText(ext);
    return e == "DB" || e == "PX" || e == "VAL" || e == "MB" || e == "TV" || e == "FAM" ||
           (e.size() == 3 && (e[0] == 'X' || e[0] == 'Y'));
}

bool sameDirectory(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return !a.empty() && std::filesystem::equivalent(a, b, ec);
}

// The working directory: removed with everything in it when the object goes, through the
// real file system (cleaning up after a failure must not fail again).
class WorkDirectory
{
public:
    WorkDirectory(ParadoxWriterFiles& files, const std::string& parent, const std::string& table)
        : path_(files.makeTempDirectory(parent, ".tmp-" + table + "-"))
    {
    }
    ~WorkDirectory()
    {
        ParadoxWriterFiles& real = ParadoxWriterFiles::System();
        try {
            for (const auto& name : real.list(path_))
                real.remove(path_ + "/" + name);
        } catch (const EvxEngineError&) {
        }
        real.removeDirectory(path_);
    }
    WorkDirectory(const WorkDirectory&) = delete;
    WorkDirectory& operator=(const WorkDirectory&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Moves the written files into the target, the family they replace aside first; on a failure
// everything moved goes back.
void install(ParadoxWriterFiles& files, const std::string& work, const std::string& target,
             const std::vector<std::string>& written, const std::vector<std::string>& replaced)
{
    std::vector<std::string> aside;
    std::vector<std::string> moved;
    try {
        for (const auto& name : replaced) {
            files.rename(target + "/" + name, work + "/old." + name);
            aside.push_back(name);
        }
        for (const auto& name : written) {
            files.rename(work + "/" + name, target + "/" + name);
            moved.push_back(name);
        }
        files.syncDirectory(target);
    } catch (const EvxEngineError& e) {
        std::string lost;
        ParadoxWriterFiles& real = ParadoxWriterFiles::System();
        const auto undo = [&](const std::string& from, const std::string& to) {
            try {
                real.rename(from, to);
            } catch (const EvxEngineError& again) {
                lost += std::string("; ") + again.what();
            }
        };
        for (const auto& name : moved)
            undo(target + "/" + name, work + "/" + name);
        for (const auto& name : aside)
            undo(work + "/old." + name, target + "/" + name);
        if (lost.empty())
            throw;
        throw EvxEngineError(e.Code(), std::string(e.what()) + "; the target could not be restored" + lost);
    }
    for (const auto& name : aside)
        files.remove(work + "/old." + name);
}

} // namespace

std::map<std::string, std::string> ParadoxFamilyExtensions(ParadoxWriterFiles& files, const std::string& directory,
                                                           const std::string& tableName)
{
    std::map<std::string, std::string> extensions;
    for (const auto& name : files.list(directory)) {
        const auto dot = name.rfind('.');
        if (dot != std::string::npos && SameText(name.substr(0, dot), tableName) &&
            familyExtension(name.substr(dot + 1)))
            extensions.emplace(UpperText(name.substr(dot + 1)), name.substr(dot + 1));
    }
    return extensions;
}

ParadoxHeaderCarry ParadoxHeaderCarryOf(const std::uint8_t* header, std::size_t size, std::uint64_t fileSize,
                                        const std::string& fileName)
{
    const ParadoxTableHeader h = ParseParadoxHeader(header, size, fileSize, fileName);
    ParadoxHeaderCarry c;
    c.autoInc = h.autoInc;
    c.fileVersion = h.fileVersionId;
    c.sortOrder = h.sortOrder;
    c.writeProtected = h.writeProtected;
    if (h.hasDataHeader) {
        for (const auto& f : h.fields)
            c.fieldIds.push_back(f.id);
        c.hiFieldId = h.hiFieldId;
        c.codePageWord = h.codePage;
        c.unknown6C = header[H::Unknown6C];
        c.unknown6D = header[H::Unknown6D];
        for (std::size_t i = 0; i < c.unknown72.size(); ++i)
            c.unknown72[i] = header[H::ChangeCount4 + 2 + i];
    }
    return c;
}

ParadoxWriteResult ParadoxWriteTable(const TvxTableDesc& desc, IvxRecordSource& records, const std::string& directory,
                                     const std::string& tableName, const ParadoxWriteOptions& options)
{
    ParadoxWriterFiles& files = options.files ? *options.files : ParadoxWriterFiles::System();
    ParadoxTablePlan plan = ParadoxPlanTable(desc, tableName, options);
    const std::string table = plan.fileName("DB");

    TvxFileInfo info;
    if (!vxPathInfo(directory, info) || !info.directory)
        throw EvxEngineError(vxErrDirectory, directory + ": directory not found");
    if (sameDirectory(options.sourceDirectory, directory))
        throw EvxEngineError(vxErrSourceIsTarget, directory + ": the table is read from this directory; "
                                                              "it cannot be written into it");
    std::vector<std::string> existing;
    for (const auto& name : files.list(directory)) {
        const auto dot = name.rfind('.');
        if (dot != std::string::npos && SameText(name.substr(0, dot), tableName) &&
            familyExtension(name.substr(dot + 1)))
            existing.push_back(name);
    }
    if (!existing.empty() && !options.replace)
        throw EvxEngineError(vxErrTargetHasTable, directory + "/" + table + ": the directory holds a table of that "
                                                                            "name (" + existing.front() + ")");

    const WorkDirectory work(files, directory, tableName);
    ParadoxFamilyWritten written = ParadoxWriteFamily(plan, records, files, work.path(),
                                                      std::max<std::size_t>(options.sortMemoryBytes, 1));
    // Checked while the files go to disk (their writing started as each was finished); they are
    // mapped, as nothing else writes in the working directory.
    const ParadoxCheckReport report = ParadoxCheckFamily(work.path(), table, ParadoxCheckAccess::Map);
    if (!report.clean())
        throw EvxEngineError(vxErrInvalidFile, directory + "/" + table + ": the written files fail their check:\n" +
                                                   report.text());
    files.syncFileSystem(work.path());
    install(files, work.path(), directory, written.files, existing);

    ParadoxWriteResult result;
    result.files = std::move(written.files);
    result.records = written.records;
    result.level = plan.level;
    result.warnings = std::move(plan.warnings);
    if (written.sharedBlobs > 0)
        result.warnings.push_back(std::to_string(written.sharedBlobs) +
                                  " blobs share the block of an earlier record's blob, as in the records read; "
                                  "written once");
    return result;
}

} // namespace morvane
