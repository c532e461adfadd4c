#pragma once
// Texts of the window framework.

namespace Tessel {

// Face name of the default font that every framework window gives its controls.
inline constexpr wchar_t kDefaultFontFace[] = L"宋体";

} // namespace Tessel
