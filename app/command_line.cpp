#include "app/command_line.h"

#include "app/app_texts.h"
#include "base/owned_handle.h"
#include "app/program_paths.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace {

using OwnedArgv = OwnedHandle<LPWSTR*, [](LPWSTR* argv) { LocalFree(argv); }>;

bool IsPathSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

} // namespace

std::wstring_view OptionKey(std::wstring_view argument) {
    return argument.empty() ? argument : argument.substr(1);
}

OptionMap ParseCommandOptions(const wchar_t* const* argv, int argc) {
    OptionMap options;
    int i = 1;
    while (i < argc) {
        std::wstring key(OptionKey(argv[i] ? argv[i] : L""));
        if (!options.contains(key) && i + 1 < argc) {
            options.emplace(std::move(key), argv[i + 1] ? argv[i + 1] : L"");
            i += 2;
        } else {
            i += 1;
        }
    }
    return options;
}

OptionMap ParseCommandOptions(const std::vector<std::wstring>& arguments) {
    std::vector<const wchar_t*> argv;
    argv.reserve(arguments.size());
    for (const auto& argument : arguments)
        argv.push_back(argument.c_str());
    return ParseCommandOptions(argv.data(), static_cast<int>(argv.size()));
}

std::vector<std::wstring_view> SplitAddressParts(std::wstring_view text) {
    std::vector<std::wstring_view> parts;
    size_t start = 0;
    while (start < text.size()) {
        const size_t dot = std::min(text.find(L'.', start), text.size());
        if (dot > start)
            parts.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
    return parts;
}

bool IsValidAddressText(std::wstring_view text) {
    const auto parts = SplitAddressParts(text);
    return parts.size() == 4 && std::ranges::all_of(parts, [](std::wstring_view part) {
               return std::ranges::all_of(part, [](wchar_t c) { return c >= L'0' && c <= L'9'; });
           });
}

bool IsPreciseOption(std::wstring_view argument) {
    return OptionKey(argument) == kPreciseOptionKey;
}

std::wstring FormatUsageText(std::wstring_view modulePath) {
    std::wstring text = kUsageFormat;
    for (size_t at = text.find(L"%s"); at != std::wstring::npos;
         at = text.find(L"%s", at + modulePath.size()))
        text.replace(at, 2, modulePath);
    return text;
}

void ShowUsage() {
    MessageBoxW(nullptr, FormatUsageText(GetModulePath()).c_str(), kUsageCaption, MB_OK);
}

std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine) {
    int argc = 0;
    // The platform may write into the text it splits: hand it a private copy.
    std::wstring copy = commandLine ? commandLine : L"";
    const OwnedArgv argv(CommandLineToArgvW(copy.c_str(), &argc));
    if (!argv)
        return {};
    return std::vector<std::wstring>(argv.Get(), argv.Get() + argc);
}

bool IsIpCommandLineFor(const wchar_t* commandLine, std::wstring_view programPath) {
    if (!commandLine || !*commandLine)
        return false;
    const auto arguments = SplitCommandLine(commandLine);
    if (arguments.empty())
        return false;
    if (!ParseCommandOptions(arguments).contains(kIpOptionKey))
        return false;
    return _wcsicmp(arguments.front().c_str(), std::wstring(programPath).c_str()) == 0;
}

bool IsOwnIpCommandLine(const wchar_t* commandLine) {
    return IsIpCommandLineFor(commandLine, GetModulePath());
}

std::wstring GetCommandProgramName(const wchar_t* commandLine) {
    const auto arguments = SplitCommandLine(commandLine);
    if (arguments.empty())
        return {};
    std::wstring_view program = arguments.front();
    // As _wsplitpath splits it: a colon counts only as the drive's.
    if (program.size() >= 2 && program[1] == L':')
        program.remove_prefix(2);
    const auto nameStart = std::find_if(program.rbegin(), program.rend(), IsPathSeparator).base();
    std::wstring_view name = program.substr(static_cast<size_t>(nameStart - program.begin()));
    if (const size_t dot = name.rfind(L'.'); dot != std::wstring_view::npos)
        name = name.substr(0, dot);
    return std::wstring(name);
}
