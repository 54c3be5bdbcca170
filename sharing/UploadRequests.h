#pragma once
#include "Utility/ServicesConfig.h"
#include "interfaces/HttpClient.h"

#include <cstdint>
#include <string>
#include <string_view>

// The requests of a video upload, byte for byte as the services expect them, without a time-out of
// their own. The recording's bytes are never read here: a body names its file and is streamed when
// it is sent.

// The part type of the Facebook multipart body: "video/mov" for MOV and MP4, else "video/avi".
std::string pmFacebookVideoType(const std::string& path);
// The YouTube content type: "video/mp4" for MOV and MP4, else "video/avi".
std::string pmYouTubeVideoType(const std::string& path);
// Text percent-encoded byte by byte: everything but ASCII letters, digits and the characters of
// `plain`, with hexadecimal digits in lower or upper case.
std::string pmPercentEncode(std::string_view text, std::string_view plain, bool lowerCaseDigits);
// Text percent-encoded as a query value in UTF-8: everything but letters, digits and "-._~".
std::string pmPercentEncodeQueryValue(const std::string& text);
// Text as the contents of a JSON string (quotes, backslashes and line breaks escaped).
std::string pmJsonStringContents(const std::string& text);

// One multipart POST of the recording to "/me/videos" with the title and description in the address.
HttpRequest pmFacebookUploadRequest(const FacebookServices& facebook, const std::string& accessToken,
                                    const std::string& path, std::uint64_t fileSize, const std::string& title,
                                    const std::string& description);
// The exchange of the sign-in's authorisation code for an access token.
HttpRequest pmTokenExchangeRequest(const YouTubeServices& youtube, const std::string& code);
// Opens a resumable upload session for one recording; its address comes back in "Location".
HttpRequest pmUploadSessionRequest(const YouTubeServices& youtube, const std::string& accessToken,
                                   std::uint64_t fileSize, const std::string& contentType, const std::string& title,
                                   const std::string& description);
// The recording's bytes to the session's address.
HttpRequest pmSessionUploadRequest(const std::string& sessionAddress, const std::string& accessToken,
                                   const std::string& path, std::uint64_t fileSize, const std::string& contentType);
