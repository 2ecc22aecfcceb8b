#include "standin/PropBag.h"

namespace standin {

bool IsText(ULONG tag) { return PROP_TYPE(tag) == PT_UNICODE || PROP_TYPE(tag) == PT_STRING8; }

const Prop* PropBag::Find(ULONG tag) const {
  for (const Prop& p : FProps) {
    if (PROP_ID(p.tag) != PROP_ID(tag)) continue;
    const ULONG type = PROP_TYPE(tag);
    if (type == PT_UNSPECIFIED || type == PROP_TYPE(p.tag) || (IsText(tag) && IsText(p.tag))) return &p;
    return nullptr;
  }
  return nullptr;
}

void PropBag::Set(Prop prop) {
  for (Prop& p : FProps) {
    if (PROP_ID(p.tag) == PROP_ID(prop.tag)) {
      p = std::move(prop);
      return;
    }
  }
  FProps.push_back(std::move(prop));
}

void PropBag::Remove(ULONG tag) {
  std::erase_if(FProps, [tag](const Prop& p) { return PROP_ID(p.tag) == PROP_ID(tag); });
}

}  // namespace standin
