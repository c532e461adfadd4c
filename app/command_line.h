#pragma once
// The rules applied to command-line text: options, addresses, the usage text, own command lines.

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

// Option keys and values, compared by code unit (case-sensitive), one value per key.
using OptionMap = std::map<std::wstring, std::wstring>;

// The key an argument gives: the argument without its first character, whatever that is.
std::wstring_view OptionKey(std::wstring_view argument);

// Argument 0 is the program and is skipped. Each key is its argument without the first character
// (/ip, -ip and xip all give "ip"); the next argument is its value. A repeated key keeps its first
// value, and a key in last position without a value is dropped.
OptionMap ParseCommandOptions(const wchar_t* const* argv, int argc);
// The same for a split command line (argument 0 first).
OptionMap ParseCommandOptions(const std::vector<std::wstring>& arguments);

// The parts of a dotted address; runs of dots count as one separator and no part is empty.
std::vector<std::wstring_view> SplitAddressParts(std::wstring_view text);

// Exactly four parts of digits only. No range check: "999.1.1.1" passes.
bool IsValidAddressText(std::wstring_view text);

// The flag that follows "/ip <a.b.c.d>" for the precise road: any first character, then "precise"
// in lower case (/precise, -precise).
bool IsPreciseOption(std::wstring_view argument);

// The usage message for the given module path, as ShowUsage shows it.
std::wstring FormatUsageText(std::wstring_view modulePath);
void ShowUsage();

// True when the command line names the given program file (any letter case) and has an "ip" key.
bool IsIpCommandLineFor(const wchar_t* commandLine, std::wstring_view programPath);
// The same for this very program.
bool IsOwnIpCommandLine(const wchar_t* commandLine);

// The file name without directory and extension of the command line's first token:
// "\"C:\Tools\tool.exe\" /ip 1.2.3.4" -> "tool". Empty when there is none.
std::wstring GetCommandProgramName(const wchar_t* commandLine);

// The command line split by the platform's rules; empty when splitting fails.
std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine);
