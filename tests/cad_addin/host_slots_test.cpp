// The host interfaces: every function the plug-in calls stands at its slot of the virtual table.
#include <gtest/gtest.h>

#include <cstring>

#include "host_interfaces.h"
#include "recording_host.h"

namespace tandrel {
namespace {

// The slot of a virtual function from its member pointer (1 + byte offset in the table).
template <class M>
int VirtualSlot(M member) {
  struct Representation {
    uintptr_t ptr;
    ptrdiff_t adjust;
  } rep;
  static_assert(sizeof(M) == sizeof(Representation));
  std::memcpy(&rep, &member, sizeof rep);
  if ((rep.ptr & 1) == 0) return -1;  // not virtual
  return int((rep.ptr - 1) / sizeof(void*));
}

TEST(HostSlots, EveryCalledFunctionStandsAtItsSlot) {
  EXPECT_EQ(VirtualSlot(&Unknown::QueryInterface), 0);
  EXPECT_EQ(VirtualSlot(&Unknown::AddRef), 1);
  EXPECT_EQ(VirtualSlot(&Unknown::Release), 2);
#define TANDREL_CHECK_APPLICATION(row, slot, name, params) \
  EXPECT_EQ(VirtualSlot(&HostApplication::name), slot) << "application " #name;
#define TANDREL_CHECK_DOCUMENT(row, slot, name, params) \
  EXPECT_EQ(VirtualSlot(&HostDocument::name), slot) << "document " #name;
  TANDREL_HOST_APPLICATION_SLOTS(TANDREL_CHECK_APPLICATION)
  TANDREL_HOST_DOCUMENT_SLOTS(TANDREL_CHECK_DOCUMENT)
#undef TANDREL_CHECK_APPLICATION
#undef TANDREL_CHECK_DOCUMENT
  EXPECT_EQ(kHostApplicationRows, 11);
  EXPECT_EQ(kHostDocumentRows, 14);
}

TEST(HostSlots, CallsThroughTheTableReachTheHostsFunctions) {
  // As the host's own callers do: fetch the function from the object's table by number.
  host::RecordingHost app;
  host::RecordingDocument* doc = app.OpenDocument(1, "gear");
  void** app_table = *reinterpret_cast<void***>(static_cast<HostApplication*>(&app));
  using ActiveFn = HRESULT (*)(HostApplication*, HostDocument**);
  HostDocument* active = nullptr;
  EXPECT_EQ(reinterpret_cast<ActiveFn>(app_table[8])(&app, &active), S_OK);
  EXPECT_EQ(active, static_cast<HostDocument*>(doc));
  active->Release();

  void** doc_table = *reinterpret_cast<void***>(static_cast<HostDocument*>(doc));
  using CircleFn = HRESULT (*)(HostDocument*, double, double, double, double);
  reinterpret_cast<CircleFn>(doc_table[36])(doc, 0.0, 0.0, 0.0, 0.004);
  using TypeFn = HRESULT (*)(HostDocument*, int32_t*);
  int32_t type = 0;
  reinterpret_cast<TypeFn>(doc_table[92])(doc, &type);
  EXPECT_EQ(type, 1);
  ASSERT_EQ(doc->sketch.size(), 1u);
  EXPECT_EQ(doc->sketch[0].kind, host::SketchEntity::Kind::Circle);
  EXPECT_DOUBLE_EQ(doc->sketch[0].value, 0.004);
}

}  // namespace
}  // namespace tandrel
