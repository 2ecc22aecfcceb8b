// The profile file: JSON, read and written (format in standin/README.md).
// Reading streams: each message becomes the model's compact record as soon
// as its object ends, so no tree of the whole file is ever held.
#pragma once

#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "standin/Faults.h"
#include "standin/MessageJson.h"
#include "standin/Model.h"

namespace standin {

struct LoadedProfile {
  std::shared_ptr<Profile> profile;
  std::vector<FaultRule> faults;
};

// Throws std::exception with a readable text when the JSON is not a profile.
LoadedProfile ParseProfile(const std::string& jsonText);
LoadedProfile ParseProfile(std::istream& json);
// A generated store is written as the plain store it stands for, every
// message of it written out.
std::string WriteProfile(const Profile& profile, const std::vector<FaultRule>& faults);

}  // namespace standin
