#pragma once
// The web pages of the Help menu, opened in the user's browser.
namespace app {

constexpr const char* kHelpFileUrl = "https://example.org/velmora-zudodo-raridevi/help";
constexpr const char* kSupportUrl = "https://example.org/velmora-zudodo-raridevi/support";
constexpr const char* kProductPageUrl = "https://example.org/velmora-zudodo-raridevi/";

}  // namespace app
