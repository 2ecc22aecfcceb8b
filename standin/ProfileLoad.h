// Replacing and saving the profile the provider serves.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

inline constexpr const char* STANDIN_PROFILE_ENV_NAME = "QUOP_STANDIN_PROFILE";

// Replace the profile and its faults; the state is unchanged on failure
// (the reason goes to the call log).
HRESULT LoadProfileFile(const std::string& path);
HRESULT LoadProfileText(const std::string& json);
HRESULT SaveProfileFile(const std::string& path);
// The profile of the environment variable when none is loaded yet.
HRESULT EnsureProfile();

}  // namespace standin
