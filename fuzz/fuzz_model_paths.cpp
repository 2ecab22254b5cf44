// The model-file rewrite on any bytes, with the crashed-tank worker's own names and marks:
// found texture paths and shaders are overwritten in place, never changing the length.
#include "common/exceptions.h"
#include "fuzz_support.h"
#include "mods/byte_helpers.h"
#include "mods/visual_crash_workers.h"

using namespace ashtint;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TStrArray names = MakeSearchList({"diffuseMap", "excludeMaskAndAOMap"});
  static const TStrArray inside = MakeStrArray({"_inside"});
  static const TStrArray none;
  TBytesArray bytes(data, data + size);
  try {
    (void)ReplaceText(bytes, CrashShader, TankShader, true, true);
    (void)ReplaceTexturePaths(bytes, names, TankCrashTexture, none, inside, none, inside);
    (void)ReplaceTexturePaths(bytes, names, InsideCrashTexture, inside, none, none, none);
  } catch (const ERangeError&) {
    // a string whose length runs past the file: refused, as promised
  }
  fuzz::Require(bytes.size() == size, "the length never changes");
  return 0;
}
