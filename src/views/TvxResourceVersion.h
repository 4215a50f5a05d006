#pragma once
// The program's version texts, read once through the look-up a version resource needs: the
// first "\VarFileInfo\Translation" entry (language low 16 bits, code page high 16 bits), then
// "\StringFileInfo\llllcccc\Key" per key. A missing key, a missing translation or no resource
// at all leaves the text empty.

#include <QString>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace morvane {

// Version information as a resource holds it: translation entries and string values keyed by
// their full query path. Values are UTF-8.
struct TvxVersionResource
{
    std::vector<std::uint32_t> translations;
    std::map<std::string, std::string> strings;

    // False when the resource has no translation entry.
    bool QueryTranslation(std::uint32_t& translation) const;
    // False when no value exists under that path.
    bool QueryValue(const std::string& path, std::string& value) const;
};

// The data compiled into the program.
const TvxVersionResource& ProgramVersionResource();

class TvxResourceVersion
{
public:
    // Reads every key from the resource; null stands for a program without version information.
    explicit TvxResourceVersion(const TvxVersionResource* resource);

    // The one instance of the program, read from ProgramVersionResource() on first use.
    static const TvxResourceVersion& Instance();

    // "\StringFileInfo\041604e4\ProductName" for translation 0x04E40416 and key "ProductName".
    static std::string StringQuery(std::uint32_t translation, const std::string& key);

    const QString& Comments() const { return comments_; }
    const QString& CompanyName() const { return companyName_; }
    const QString& FileDescription() const { return fileDescription_; }
    const QString& FileVersion() const { return fileVersion_; }
    const QString& InternalName() const { return internalName_; }
    const QString& LegalCopyright() const { return legalCopyright_; }
    const QString& LegalTrademarks() const { return legalTrademarks_; }
    const QString& OriginalFilename() const { return originalFilename_; }
    const QString& PrivateBuild() const { return privateBuild_; }
    const QString& ProductName() const { return productName_; }
    const QString& ProductVersion() const { return productVersion_; }
    const QString& SpecialBuild() const { return specialBuild_; }

private:
    QString comments_;
    QString companyName_;
    QString fileDescription_;
    QString fileVersion_;
    QString internalName_;
    QString legalCopyright_;
    QString legalTrademarks_;
    QString originalFilename_;
    QString privateBuild_;
    QString productName_;
    QString productVersion_;
    QString specialBuild_;
};

} // namespace morvane
