#pragma once
// What the about box's three links open. The addresses are the project's
// own and belong to nobody: example.org is reserved for examples.
#include <string>

namespace dialogs {

inline constexpr const char* AboutMail = "tidewell@example.org";
inline constexpr const char* AboutMessenger = "tidewell.chat@example.org";
inline constexpr const char* AboutWebHost = "www.example.org/tidewell";

// "mailto:" + address + the fixed subject, as the card has always sent it.
inline std::string MailLink(const std::string& address) {
  return "mailto:" + address + "?subject=About Tidewell V1.2 Test Edtion";
}
inline std::string WebLink(const std::string& host) { return "Http://" + host; }

}  // namespace dialogs
