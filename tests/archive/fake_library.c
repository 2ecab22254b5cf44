/* A module that exports some of the archive library's entry points and does nothing else. */
#include <stdint.h>
#include <string.h>

#if !defined(FAKE_KIND_no_create)
int32_t CreateObject(const void* classId, const void* iid, void** out) {
  (void)classId;
  (void)iid;
  *out = 0;
  return (int32_t)0x80040111u;
}
#endif

#if !defined(FAKE_KIND_no_create) && !defined(FAKE_KIND_no_handler)
int32_t GetHandlerProperty(uint32_t propId, void* value) {
  (void)propId;
  memset(value, 0, 16);
  return 0;
}
#endif

#if defined(FAKE_KIND_old_layout)
/* Reports objects with a virtual destructor (interface type 1). */
int32_t GetModuleProp(uint32_t propId, void* value) {
  uint16_t vt = 19; /* VT_UI4 */
  uint32_t v = propId == 0 ? 1u : 0x00100002u;
  memset(value, 0, 16);
  memcpy(value, &vt, 2);
  memcpy((char*)value + 8, &v, 4);
  return 0;
}
#endif

int fake_library_marker(void) { return 1; }
