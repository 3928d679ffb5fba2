#pragma once

namespace tmbr::codegen {

// Absolute addresses written into generated pages ({FLASH_CAB_URL},
// {FLASH_DOWNLOAD_PAGE}, {SUPPORT_PAGE}) and opened from the Help menu.
inline constexpr const char* kFlashCabUrl
    = "https://fpdownload.macromedia.com/pub/shockwave/cabs/flash/swflash.cab#version=7,0,0,0";
inline constexpr const char* kFlashDownloadPage = "https://www.macromedia.com/go/getflashplayer";
inline constexpr const char* kSupportPage = "https://www.tambrel.com/support";

// Help menu: "&About..." and "&Online Support".
inline constexpr const char* kProductHomePage = "https://www.tambrel.com/";
inline constexpr const char* kOnlineSupportPage = "https://www.tambrel.com/support/";

} // namespace tmbr::codegen
