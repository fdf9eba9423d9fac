#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "win32_common/dialogs.h"
#include "win32_common/text.h"

namespace win32ui {
namespace {

// `wide` in the ANSI code page; nothing when a character has no place in it.
std::optional<std::string> AnsiFromWide(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  BOOL lossy = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(),
                                       static_cast<int>(wide.size()), nullptr, 0, nullptr, &lossy);
  if (size <= 0 || lossy) return std::nullopt;
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()),
                      out.data(), size, nullptr, &lossy);
  return out;
}

// `narrow` (ANSI code page) as UTF-16.
std::wstring WideFromAnsi(std::string_view narrow) {
  if (narrow.empty()) return {};
  const int size = MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()),
                                       nullptr, 0);
  if (size <= 0) return {};
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), out.data(), size);
  return out;
}

// The short (8.3) form of an existing path, or the path itself.
std::wstring ShortPath(const std::wstring& path) {
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return path;
  std::vector<wchar_t> buffer(size);
  const DWORD got = GetShortPathNameW(path.c_str(), buffer.data(), size);
  if (got == 0 || got >= size) return path;
  return std::wstring(buffer.data(), got);
}

// `path` as the narrow file functions can open it: as it is, or with its
// folder (and, for an existing file, its name) in their short form.
std::optional<std::string> NarrowPath(const std::wstring& path) {
  if (auto narrow = AnsiFromWide(path)) return narrow;
  if (auto narrow = AnsiFromWide(ShortPath(path))) return narrow;
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return std::nullopt;
  return AnsiFromWide(ShortPath(path.substr(0, slash)) + path.substr(slash));
}

}  // namespace

std::wstring FileDialogFilter(std::string_view filter) {
  std::vector<std::string_view> parts;
  for (size_t start = 0;;) {
    const size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  std::wstring out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty()) break;  // the closing "||"
    out += WideFromLatin1(parts[i]) + L'\0' + WideFromLatin1(parts[i + 1]) + L'\0';
  }
  if (!out.empty()) out += L'\0';
  return out;
}

std::optional<std::string> AskFileName(HWND owner, bool save, std::string_view filter,
                                       std::string_view defaultExtension) {
  return AskFileName(owner, FileRequest{save, filter, defaultExtension, {}, {}});
}

std::optional<std::string> AskFileName(HWND owner, const FileRequest& file) {
  const bool save = file.save;
  const std::wstring filters = FileDialogFilter(file.filter);
  const std::wstring extension = WideFromLatin1(file.defaultExtension);
  const std::wstring title = WideFromLatin1(file.title);
  std::vector<wchar_t> name(32768, L'\0');
  const std::wstring initial = WideFromAnsi(file.initialPath);
  if (initial.size() < name.size()) std::copy(initial.begin(), initial.end(), name.begin());
  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = owner;
  request.lpstrFilter = filters.empty() ? nullptr : filters.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = name.data();
  request.nMaxFile = static_cast<DWORD>(name.size());
  request.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  request.lpstrTitle = title.empty() ? nullptr : title.c_str();
  request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  if (!save) request.Flags |= OFN_FILEMUSTEXIST;
  const BOOL chosen = save ? GetSaveFileNameW(&request) : GetOpenFileNameW(&request);
  if (!chosen) return std::nullopt;
  const std::wstring path(name.data());
  if (auto narrow = NarrowPath(path)) return narrow;
  ShowMessageBox(owner,
                 "This file name has characters the program cannot use. "
                 "Choose a name and folder without them.",
                 "File Name", MB_OK | MB_ICONWARNING);
  return std::nullopt;
}

}  // namespace win32ui
