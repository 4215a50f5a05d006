#include "views/TvxResourceVersion.h"

#include <cstdio>
#include <utility>

namespace morvane {

namespace {

// Brazilian Portuguese (0x0416), Windows-1252 (0x04E4).
constexpr std::uint32_t vxProgramTranslation = 0x04E40416u;

TvxVersionResource BuildProgramResource()
{
    TvxVersionResource r;
    r.translations.push_back(vxProgramTranslation);
    const std::pair<const char*, const char*> values[] = {
        {"Comments", "Editor da estrutura de bancos de dados Paradox"},
        {"CompanyName", "Morvane"},
        {"FileDescription", "Morvane for Paradox"},
        {"FileVersion", "1.1.0.0"},
        {"InternalName", "Morvane"},
        {"LegalCopyright", "Copyright © Morvane"},
        {"OriginalFilename", "morvane"},
        {"ProductName", "Morvane for Paradox"},
        {"ProductVersion", "1.1"},
    };
    for (const auto& [key, value] : values)
        r.strings.emplace(TvxResourceVersion::StringQuery(vxProgramTranslation, key), value);
    return r;
}

} // namespace

bool TvxVersionResource::QueryTranslation(std::uint32_t& translation) const
{
    if (translations.empty())
        return false;
    translation = translations.front();
    return true;
}

bool TvxVersionResource::QueryValue(const std::string& path, std::string& value) const
{
    const auto it = strings.find(path);
    if (it == strings.end())
        return false;
    value = it->second;
    return true;
}

const TvxVersionResource& ProgramVersionResource()
{
    static const TvxVersionResource resource = BuildProgramResource();
    return resource;
}

std::string TvxResourceVersion::StringQuery(std::uint32_t translation, const std::string& key)
{
    char block[9];
    std::snprintf(block, sizeof block, "%.4x%.4x", static_cast<unsigned>(translation & 0xFFFFu),
                  static_cast<unsigned>(translation >> 16));
    return std::string("\\StringFileInfo\\") + block + "\\" + key;
}

TvxResourceVersion::TvxResourceVersion(const TvxVersionResource* resource)
{
    std::uint32_t translation = 0;
    if (!resource || !resource->QueryTranslation(translation))
        return;
    const std::pair<const char*, QString*> keys[] = {
        {"Comments", &comments_},
        {"CompanyName", &companyName_},
        {"FileDescription", &fileDescription_},
        {"FileVersion", &fileVersion_},
        {"InternalName", &internalName_},
        {"LegalCopyright", &legalCopyright_},
        {"LegalTrademarks", &legalTrademarks_},
        {"OriginalFilename", &originalFilename_},
        {"PrivateBuild", &privateBuild_},
        {"ProductName", &productName_},
        {"ProductVersion", &productVersion_},
        {"SpecialBuild", &specialBuild_},
    };
    for (const auto& [key, field] : keys) {
        std::string value;
        if (resource->QueryValue(StringQuery(translation, key), value))
            *field = QString::fromStdString(value);
    }
}

const TvxResourceVersion& TvxResourceVersion::Instance()
{
    static const TvxResourceVersion instance(&ProgramVersionResource());
    return instance;
}

} // namespace morvane
