#pragma once
// The Help menu's pages: local documentation in the program folder's help/, opened in the
// user's browser.
namespace app {

constexpr const char* kHelpFilePage = "help/index.html";
constexpr const char* kSupportPage = "help/support.html";
constexpr const char* kProductPage = "help/product.html";

}  // namespace app
