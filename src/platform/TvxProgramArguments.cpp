#include "platform/TvxProgramArguments.h"

#ifdef _WIN32

#include "platform/vxWin32.h"
#endif

namespace morvane {

TvxProgramArguments::TvxProgramArguments(int argc, char** argv)
{
#ifdef _WIN32
    int count = 0;
    if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            texts_.push_back(vxUtf8(wide[i]));
        ::LocalFree(wide);
    }
    if (static_cast<int>(texts_.size()) != argc)
        texts_.assign(argv, argv + argc); // the system's parsing differs: keep main's
#else
    texts_.assign(argv, argv + argc);
#endif
    for (std::string& text : texts_)
        pointers_.push_back(text.data());
    pointers_.push_back(nullptr);
}

} // namespace morvane
