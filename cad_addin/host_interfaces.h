// The two host interfaces the plug-in calls: the CAD application and its model documents.
//
// The host calls and is called by virtual-table position, so each function must stand at its slot
// number. The tables below are the one definition of both interfaces: each row gives the slot, the
// name and the parameters; the rows build a chain of classes in which placeholders fill every slot
// that the plug-in does not call. Texts are UTF-16, lengths and co-ordinates doubles in metres.
#pragma once

#include <cstdint>

#include "com_basics.h"

namespace tandrel {

struct HostDocument;

// A toolbar image handed to the host: rows top-down, 0x00RRGGBB pixels.
struct HostBitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
};
using BitmapHandle = const HostBitmap*;

// Row, slot, name, parameters. Rows are numbered from 1 in ascending slot order.
#define TANDREL_HOST_APPLICATION_SLOTS(X)                                                                     \
  X(1, 8, ActiveDocument, (HostDocument * *document))                                                        \
  X(2, 15, FrameObject, (Unknown * *object))                                                                 \
  X(3, 28, AddFileSaveAsItem,                                                                                 \
    (const char16_t* callback, const char16_t* description, int32_t document_type, int32_t* result))         \
  X(4, 62, RemoveMenu,                                                                                        \
    (int32_t document_type, const char16_t* menu_text, const char16_t* callback, int32_t* result))           \
  X(5, 64, RemoveFileSaveAsItem,                                                                              \
    (const char16_t* callback, const char16_t* description, int32_t document_type, int32_t* result))         \
  X(6, 70, AddToolbarCommand,                                                                                 \
    (const char16_t* toolbar_name, int32_t toolbar_id, int32_t button, const char16_t* callbacks,            \
     int32_t* result))                                                                                        \
  X(7, 71, ShowToolbar, (const char16_t* toolbar_name, int32_t toolbar_id, int32_t* result))                 \
  X(8, 73, RemoveToolbar, (const char16_t* toolbar_name, int32_t toolbar_id, int32_t* result))               \
  X(9, 85, SendMessageToUser, (const char16_t* text, int32_t icon, int32_t buttons, int32_t* result))        \
  X(10, 104, FirstDocument, (HostDocument * *document))                                                      \
  X(11, 137, AddToolbar,                                                                                      \
    (const char16_t* toolbar_name, const char16_t* title, BitmapHandle small_bitmap,                         \
     BitmapHandle large_bitmap, int32_t menu_position, int32_t decoration, int32_t* toolbar_id))

#define TANDREL_HOST_DOCUMENT_SLOTS(X)                                                                        \
  X(1, 13, PrepareSketch, (int32_t * result))                                                                \
  X(2, 30, CreateLine, (double x1, double y1, double z1, double x2, double y2, double z2))                   \
  X(3, 34, CreateArc,                                                                                         \
    (double cx, double cy, double cz, double sx, double sy, double sz, double ex, double ey, double ez,     \
     int32_t direction))                                                                                      \
  X(4, 36, CreateCircle, (double cx, double cy, double cz, double radius))                                   \
  X(5, 44, ExtrudeSketch,                                                                                     \
    (int32_t single_ended, int32_t w0, int32_t w1, int32_t w2, int32_t w3, double depth, int32_t w4,       \
     int32_t w5, int32_t w6, int32_t w7, int32_t w8, int32_t w9, int32_t w10, int32_t w11, int32_t w12,    \
     int32_t w13, int32_t w14, int32_t w15))                                                                  \
  X(6, 69, AddSplinePoint, (int32_t points_to_come, double x, double y, double z))                           \
  X(7, 92, DocumentType, (int32_t * type))                                                                   \
  X(8, 100, FinishDrawing, ())                                                                                \
  X(9, 162, StartEntityGroup, ())                                                                             \
  X(10, 235, SetSketchOption, (int32_t value))                                                                \
  X(11, 237, SetDirectMode, (int32_t on))                                                                     \
  X(12, 263, OpenStorageStream, (const char16_t* name, int32_t write, Unknown** stream))                     \
  X(13, 354, ReleaseStorageStream, (const char16_t* name))                                                   \
  X(14, 572, NextDocument, (HostDocument * *document))

// Placeholders: SlotPad<Base, N> is Base followed by N slots that the plug-in never calls, laid down
// in blocks of 64, 8 and 1. Each placeholder takes a tag type of its own, so that none overrides
// another.
template <class Base, int N>
struct SlotTag {};

#define TANDREL_UNUSED_SLOT(i) \
  virtual HRESULT UnusedSlot##i(SlotTag<Base, N>) { return E_NOTIMPL; }
#define TANDREL_UNUSED_SLOTS8(i)                                                               \
  TANDREL_UNUSED_SLOT(i##0) TANDREL_UNUSED_SLOT(i##1) TANDREL_UNUSED_SLOT(i##2)                \
  TANDREL_UNUSED_SLOT(i##3) TANDREL_UNUSED_SLOT(i##4) TANDREL_UNUSED_SLOT(i##5)                \
  TANDREL_UNUSED_SLOT(i##6) TANDREL_UNUSED_SLOT(i##7)

template <class Base, int N, int Size>
struct SlotBlock;
template <class Base, int N>
struct SlotBlock<Base, N, 1> : Base {
  TANDREL_UNUSED_SLOT(0)
};
template <class Base, int N>
struct SlotBlock<Base, N, 8> : Base {
  TANDREL_UNUSED_SLOTS8(0)
};
template <class Base, int N>
struct SlotBlock<Base, N, 64> : Base {
  TANDREL_UNUSED_SLOTS8(0) TANDREL_UNUSED_SLOTS8(1) TANDREL_UNUSED_SLOTS8(2) TANDREL_UNUSED_SLOTS8(3)
  TANDREL_UNUSED_SLOTS8(4) TANDREL_UNUSED_SLOTS8(5) TANDREL_UNUSED_SLOTS8(6) TANDREL_UNUSED_SLOTS8(7)
};
#undef TANDREL_UNUSED_SLOTS8
#undef TANDREL_UNUSED_SLOT

constexpr int SlotBlockSize(int n) { return n >= 64 ? 64 : n >= 8 ? 8 : 1; }

template <class Base, int N>
struct SlotPad : SlotBlock<SlotPad<Base, N - SlotBlockSize(N)>, N, SlotBlockSize(N)> {
  static_assert(N > 0, "slots of a table must ascend");
};
template <class Base>
struct SlotPad<Base, 0> : Base {};

// Row 0 of every interface: the three slots of Unknown.
struct UnknownRow : Unknown {
  static constexpr int kNextSlot = 3;
};

template <int Row>
struct HostApplicationRow;
template <>
struct HostApplicationRow<0> : UnknownRow {};
template <int Row>
struct HostDocumentRow;
template <>
struct HostDocumentRow<0> : UnknownRow {};

#define TANDREL_DECLARE_SLOT_ROW(Chain, row, slot, name, params)                                       \
  template <>                                                                                          \
  struct Chain<row> : SlotPad<Chain<row - 1>, slot - Chain<row - 1>::kNextSlot> {                      \
    static constexpr int kNextSlot = slot + 1;                                                         \
    virtual HRESULT name params = 0;                                                                   \
  };
#define TANDREL_APPLICATION_ROW(row, slot, name, params) \
  TANDREL_DECLARE_SLOT_ROW(HostApplicationRow, row, slot, name, params)
#define TANDREL_DOCUMENT_ROW(row, slot, name, params) \
  TANDREL_DECLARE_SLOT_ROW(HostDocumentRow, row, slot, name, params)

TANDREL_HOST_APPLICATION_SLOTS(TANDREL_APPLICATION_ROW)
TANDREL_HOST_DOCUMENT_SLOTS(TANDREL_DOCUMENT_ROW)

#undef TANDREL_APPLICATION_ROW
#undef TANDREL_DOCUMENT_ROW
#undef TANDREL_DECLARE_SLOT_ROW

#define TANDREL_COUNT_ROW(row, slot, name, params) +1
inline constexpr int kHostApplicationRows = 0 TANDREL_HOST_APPLICATION_SLOTS(TANDREL_COUNT_ROW);
inline constexpr int kHostDocumentRows = 0 TANDREL_HOST_DOCUMENT_SLOTS(TANDREL_COUNT_ROW);
#undef TANDREL_COUNT_ROW

struct HostApplication : HostApplicationRow<kHostApplicationRows> {
 protected:
  ~HostApplication() = default;
};
struct HostDocument : HostDocumentRow<kHostDocumentRows> {
 protected:
  ~HostDocument() = default;
};

inline constexpr Guid IID_HostApplication = MakeGuid("{83A33D22-27C5-11CE-BFD4-00400513BB57}");
inline constexpr Guid IID_HostDocument = MakeGuid("{83A33D46-27C5-11CE-BFD4-00400513BB57}");

// Slot numbers and names from the tables, for logs and checks.
struct SlotName {
  int slot;
  const char* name;
};
#define TANDREL_SLOT_NAME(row, slot, name, params) SlotName{slot, #name},
inline constexpr SlotName kHostApplicationSlotNames[] = {TANDREL_HOST_APPLICATION_SLOTS(TANDREL_SLOT_NAME)};
inline constexpr SlotName kHostDocumentSlotNames[] = {TANDREL_HOST_DOCUMENT_SLOTS(TANDREL_SLOT_NAME)};
#undef TANDREL_SLOT_NAME

}  // namespace tandrel
