// Measuring who removes the arguments of a stdcall call.
#pragma once

// Pushes nDwords dwords copied from args (the first at the lowest address),
// calls fn and returns how many bytes of them are still on the stack
// afterwards: 0 when fn removed them itself, as stdcall requires.
int BytesLeftOnStack(const void* fn, const void* args, int nDwords);
