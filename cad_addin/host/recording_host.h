// The stand-in CAD host: an application with model documents that records every call the plug-in
// makes and the sketch entities it receives, raises the host's events through connection points, and
// keeps its objects alive for its own lifetime (reference counts are kept and can be checked).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "com_basics.h"
#include "host_interfaces.h"
#include "plane_geometry.h"

namespace tandrel::host {

// Default event interfaces of the application and of part and other documents.
inline constexpr Guid kApplicationEventsIid = MakeGuid("{6b2a0f31-8c1e-4d57-9a40-3f1c2e7d5a01}");
inline constexpr Guid kPartEventsIid = MakeGuid("{6b2a0f31-8c1e-4d57-9a40-3f1c2e7d5a02}");
inline constexpr Guid kOtherDocumentEventsIid = MakeGuid("{6b2a0f31-8c1e-4d57-9a40-3f1c2e7d5a03}");

std::string Utf8(const char16_t* text);
std::string Number(double v);  // shortest text that reads back to the same double, C form

class CallLog {
 public:
  void Add(std::string line) { lines.push_back(std::move(line)); }
  std::vector<std::string> lines;
};

// One connection point: the sinks advised to one event interface.
class EventConnection final : public ConnectionPoint {
 public:
  explicit EventConnection(const Guid& iid) : iid_(iid) {}
  HRESULT QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override { return --refs_; }
  HRESULT GetConnectionInterface(Guid* iid) override;
  HRESULT Advise(Unknown* sink, uint32_t* cookie) override;
  HRESULT Unadvise(uint32_t cookie) override;

  // Calls every advised sink; returns how many were called.
  int Fire(int32_t dispid, DispParams params);
  size_t count() const { return sinks_.size(); }
  const Guid& iid() const { return iid_; }
  uint32_t refs() const { return refs_; }

 private:
  Guid iid_;
  std::map<uint32_t, Dispatch*> sinks_;
  uint32_t next_cookie_ = 1;
  uint32_t refs_ = 0;
};

struct SketchEntity {
  enum class Kind { Line, Arc, Circle, SplinePoint, Extrusion };
  Kind kind = Kind::Line;
  Point a, b, c;        // line: a-b; arc: centre a, start b, end c; circle: centre a; spline point: a
  double value = 0.0;   // circle radius, extrusion depth
  int32_t count = 0;    // arc direction (-1 clockwise, +1 counter-clockwise), spline points still to come
};

class RecordingHost;

// A storage stream of a document, in memory.
class MemoryStream final : public Stream {
 public:
  explicit MemoryStream(std::vector<uint8_t>& data) : data_(data) {}
  HRESULT QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override;
  HRESULT Read(void* buffer, uint32_t size, uint32_t* read) override;
  HRESULT Write(const void* buffer, uint32_t size, uint32_t* written) override;

 private:
  std::vector<uint8_t>& data_;
  size_t at_ = 0;
  uint32_t refs_ = 1;
};

class RecordingDocument final : public HostDocument, public ConnectionPointContainer, public ProvideClassInfo2 {
 public:
  RecordingDocument(RecordingHost& host, int id, int32_t type, std::string name);

  HRESULT QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override { return --refs_; }

#define TANDREL_HOST_OVERRIDE(row, slot, name, params) HRESULT name params override;
  TANDREL_HOST_DOCUMENT_SLOTS(TANDREL_HOST_OVERRIDE)
#undef TANDREL_HOST_OVERRIDE

  HRESULT FindConnectionPoint(const Guid& iid, ConnectionPoint** point) override;
  HRESULT GetClassInfo(void** info) override;
  HRESULT GetGUID(uint32_t kind, Guid* guid) override;

  std::string tag() const { return "doc" + std::to_string(id); }

  int id;
  int32_t type;
  std::string name;
  std::vector<SketchEntity> sketch;
  std::map<std::u16string, std::vector<uint8_t>> streams;
  int32_t direct_mode = 0;
  EventConnection events;
  RecordingDocument* next = nullptr;  // the next open document
  uint32_t refs() const { return refs_; }

 private:
  RecordingHost& host_;
  uint32_t refs_ = 0;
};

struct Toolbar {
  std::u16string name, title, callbacks;
  int32_t id = 0;
  int small_width = 0, small_height = 0, large_width = 0, large_height = 0;
  bool shown = false;
};

struct SaveAsItem {
  std::u16string callback, description;
  int32_t type = 0;
};

class RecordingHost final : public HostApplication, public ConnectionPointContainer, public ProvideClassInfo2 {
 public:
  RecordingHost();
  ~RecordingHost();

  HRESULT QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override { return --refs_; }

#define TANDREL_HOST_OVERRIDE(row, slot, name, params) HRESULT name params override;
  TANDREL_HOST_APPLICATION_SLOTS(TANDREL_HOST_OVERRIDE)
#undef TANDREL_HOST_OVERRIDE

  HRESULT FindConnectionPoint(const Guid& iid, ConnectionPoint** point) override;
  HRESULT GetClassInfo(void** info) override;
  HRESULT GetGUID(uint32_t kind, Guid* guid) override;

  // What a user does in the host. Documents opened before the add-in runs raise events that nobody
  // hears.
  RecordingDocument* OpenDocument(int32_t type, const std::string& name);  // events 1 and 5
  RecordingDocument* NewDocument(int32_t type);                            // events 2 and 5
  void Activate(RecordingDocument* doc);                                   // event 5
  void CloseDocument(RecordingDocument* doc);                              // document event 2
  void LoadDocument(RecordingDocument* doc);                               // document event 8
  void SaveDocument(RecordingDocument* doc);                               // document event 9
  void Shutdown();                                                         // event 3

  std::vector<RecordingDocument*> OpenDocuments() const;
  RecordingDocument* active() const { return active_; }
  uint32_t refs() const { return refs_; }

  CallLog log;
  EventConnection events{kApplicationEventsIid};
  std::vector<Toolbar> toolbars;
  std::vector<SaveAsItem> save_as_items;
  std::vector<std::u16string> messages;
  HRESULT toolbar_result = S_OK;  // what AddToolbar answers
  int32_t frame_objects_out = 0;  // frame objects handed out and not yet released

 private:
  friend class RecordingDocument;
  RecordingDocument* Create(int32_t type, const std::string& name);
  void Relink();
  std::vector<std::unique_ptr<RecordingDocument>> documents_;  // open and closed, alive to the end
  std::vector<RecordingDocument*> open_;
  RecordingDocument* active_ = nullptr;
  uint32_t refs_ = 0;
  int next_id_ = 1;
  class Frame;
  std::unique_ptr<Frame> frame_;
};

}  // namespace tandrel::host
