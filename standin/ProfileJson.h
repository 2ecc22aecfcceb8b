// The profile file: JSON, read and written (format in standin/README.md).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "standin/Faults.h"
#include "standin/Model.h"

namespace standin {

struct LoadedProfile {
  std::shared_ptr<Profile> profile;
  std::vector<FaultRule> faults;
};

// Two uppercase hexadecimal digits per byte, no separators.
std::string ToHex(const Bytes& bytes);

// Throws std::exception with a readable text when the JSON is not a profile.
LoadedProfile ParseProfile(const std::string& jsonText);
std::string WriteProfile(const Profile& profile, const std::vector<FaultRule>& faults);

}  // namespace standin
