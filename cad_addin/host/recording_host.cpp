#include "recording_host.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "utf16.h"

namespace tandrel::host {

std::string Utf8(const char16_t* text) { return text ? ToUtf8(text) : std::string("(null)"); }

std::string Number(double v) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, r.ptr);
}

namespace {

std::string Quoted(const char16_t* text) {
  std::string s = Utf8(text), out = "\"";
  for (char c : s) out += c == '\n' ? std::string("\\n") : std::string(1, c);
  return out + "\"";
}

template <class... T>
std::string Join(const T&... parts) {
  std::string out;
  ((out += (out.empty() ? "" : " "), out += parts), ...);
  return out;
}

std::string Num(double v) { return Number(v); }
std::string Int(int64_t v) { return std::to_string(v); }

}  // namespace

// ---- EventConnection ------------------------------------------------------------------------------

HRESULT EventConnection::QueryInterface(const Guid& iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *object = static_cast<ConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT EventConnection::GetConnectionInterface(Guid* iid) {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

HRESULT EventConnection::Advise(Unknown* sink, uint32_t* cookie) {
  if (!sink || !cookie) return E_POINTER;
  Dispatch* dispatch = QueryAs<Dispatch>(sink, iid_);
  if (!dispatch) dispatch = QueryAs<Dispatch>(sink, IID_IDispatch);
  if (!dispatch) return E_NOINTERFACE;
  *cookie = next_cookie_++;
  sinks_[*cookie] = dispatch;
  return S_OK;
}

HRESULT EventConnection::Unadvise(uint32_t cookie) {
  auto it = sinks_.find(cookie);
  if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
  Dispatch* dispatch = it->second;
  sinks_.erase(it);
  dispatch->Release();
  return S_OK;
}

int EventConnection::Fire(int32_t dispid, DispParams params) {
  // The sinks may disconnect (and go away) while they are called: each is held for its call.
  std::vector<std::pair<uint32_t, Dispatch*>> targets(sinks_.begin(), sinks_.end());
  for (auto& t : targets) t.second->AddRef();
  int called = 0;
  for (auto& [cookie, dispatch] : targets) {
    Variant result;
    dispatch->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    ++called;
  }
  for (auto& t : targets) t.second->Release();
  return called;
}

// ---- MemoryStream -----------------------------------------------------------------------------------

HRESULT MemoryStream::QueryInterface(const Guid& iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IStream) {
    *object = static_cast<Stream*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

uint32_t MemoryStream::Release() {
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT MemoryStream::Read(void* buffer, uint32_t size, uint32_t* read) {
  const size_t n = std::min<size_t>(size, data_.size() - std::min(at_, data_.size()));
  if (n > 0) std::memcpy(buffer, data_.data() + at_, n);
  at_ += n;
  if (read) *read = uint32_t(n);
  return S_OK;
}

HRESULT MemoryStream::Write(const void* buffer, uint32_t size, uint32_t* written) {
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  data_.insert(data_.end(), bytes, bytes + size);
  if (written) *written = size;
  return S_OK;
}

// ---- RecordingDocument ------------------------------------------------------------------------------

RecordingDocument::RecordingDocument(RecordingHost& host, int id_, int32_t type_, std::string name_)
    : id(id_),
      type(type_),
      name(std::move(name_)),
      events(type_ == 1 ? kPartEventsIid : kOtherDocumentEventsIid),
      host_(host) {}

HRESULT RecordingDocument::QueryInterface(const Guid& iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_HostDocument || iid == IID_IDispatch)
    *object = static_cast<HostDocument*>(this);
  else if (iid == IID_IConnectionPointContainer)
    *object = static_cast<ConnectionPointContainer*>(this);
  else if (iid == IID_IProvideClassInfo2)
    *object = static_cast<ProvideClassInfo2*>(this);
  else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT RecordingDocument::FindConnectionPoint(const Guid& iid, ConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (!(iid == events.iid())) return E_NOINTERFACE;
  events.AddRef();
  *point = &events;
  return S_OK;
}

HRESULT RecordingDocument::GetClassInfo(void** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT RecordingDocument::GetGUID(uint32_t kind, Guid* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = events.iid();
  return S_OK;
}

HRESULT RecordingDocument::PrepareSketch(int32_t* result) {
  host_.log.Add(Join(tag(), "13 PrepareSketch"));
  if (result) *result = 1;
  return S_OK;
}

HRESULT RecordingDocument::CreateLine(double x1, double y1, double z1, double x2, double y2, double z2) {
  host_.log.Add(Join(tag(), "30 CreateLine", Num(x1), Num(y1), Num(z1), Num(x2), Num(y2), Num(z2)));
  SketchEntity e;
  e.kind = SketchEntity::Kind::Line;
  e.a = Point{x1, y1, z1};
  e.b = Point{x2, y2, z2};
  sketch.push_back(e);
  return S_OK;
}

HRESULT RecordingDocument::CreateArc(double cx, double cy, double cz, double sx, double sy, double sz, double ex,
                                     double ey, double ez, int32_t direction) {
  host_.log.Add(Join(tag(), "34 CreateArc", Num(cx), Num(cy), Num(cz), Num(sx), Num(sy), Num(sz), Num(ex), Num(ey),
                     Num(ez), Int(direction)));
  SketchEntity e;
  e.kind = SketchEntity::Kind::Arc;
  e.a = Point{cx, cy, cz};
  e.b = Point{sx, sy, sz};
  e.c = Point{ex, ey, ez};
  e.count = direction;
  sketch.push_back(e);
  return S_OK;
}

HRESULT RecordingDocument::CreateCircle(double cx, double cy, double cz, double radius) {
  host_.log.Add(Join(tag(), "36 CreateCircle", Num(cx), Num(cy), Num(cz), Num(radius)));
  SketchEntity e;
  e.kind = SketchEntity::Kind::Circle;
  e.a = Point{cx, cy, cz};
  e.value = radius;
  sketch.push_back(e);
  return S_OK;
}

HRESULT RecordingDocument::ExtrudeSketch(int32_t single_ended, int32_t w0, int32_t w1, int32_t w2, int32_t w3,
                                         double depth, int32_t w4, int32_t w5, int32_t w6, int32_t w7, int32_t w8,
                                         int32_t w9, int32_t w10, int32_t w11, int32_t w12, int32_t w13,
                                         int32_t w14, int32_t w15) {
  const int64_t words = int64_t(w0) | w1 | w2 | w3 | w4 | w5 | w6 | w7 | w8 | w9 | w10 | w11 | w12 | w13 | w14 | w15;
  host_.log.Add(Join(tag(), "44 ExtrudeSketch", Int(single_ended), Num(depth), words == 0 ? "zeros" : "nonzero"));
  SketchEntity e;
  e.kind = SketchEntity::Kind::Extrusion;
  e.value = depth;
  e.count = single_ended;
  sketch.push_back(e);
  return S_OK;
}

HRESULT RecordingDocument::AddSplinePoint(int32_t points_to_come, double x, double y, double z) {
  host_.log.Add(Join(tag(), "69 AddSplinePoint", Int(points_to_come), Num(x), Num(y), Num(z)));
  SketchEntity e;
  e.kind = SketchEntity::Kind::SplinePoint;
  e.a = Point{x, y, z};
  e.count = points_to_come;
  sketch.push_back(e);
  return S_OK;
}

HRESULT RecordingDocument::DocumentType(int32_t* out) {
  host_.log.Add(Join(tag(), "92 DocumentType", "->", Int(type)));
  if (out) *out = type;
  return S_OK;
}

HRESULT RecordingDocument::FinishDrawing() {
  host_.log.Add(Join(tag(), "100 FinishDrawing"));
  return S_OK;
}

HRESULT RecordingDocument::StartEntityGroup() {
  host_.log.Add(Join(tag(), "162 StartEntityGroup"));
  return S_OK;
}

HRESULT RecordingDocument::SetSketchOption(int32_t value) {
  host_.log.Add(Join(tag(), "235 SetSketchOption", Int(value)));
  return S_OK;
}

HRESULT RecordingDocument::SetDirectMode(int32_t on) {
  host_.log.Add(Join(tag(), "237 SetDirectMode", Int(on)));
  direct_mode = on;
  return S_OK;
}

HRESULT RecordingDocument::OpenStorageStream(const char16_t* stream_name, int32_t write, Unknown** stream) {
  host_.log.Add(Join(tag(), "263 OpenStorageStream", Quoted(stream_name), Int(write)));
  if (!stream) return E_POINTER;
  *stream = nullptr;
  if (!stream_name) return E_INVALIDARG;
  auto it = streams.find(stream_name);
  if (write == 0 && it == streams.end()) return E_FAIL;  // nothing stored under that name
  std::vector<uint8_t>& data = streams[stream_name];
  if (write != 0) data.clear();
  *stream = new MemoryStream(data);
  return S_OK;
}

HRESULT RecordingDocument::ReleaseStorageStream(const char16_t* stream_name) {
  host_.log.Add(Join(tag(), "354 ReleaseStorageStream", Quoted(stream_name)));
  return S_OK;
}

HRESULT RecordingDocument::NextDocument(HostDocument** document) {
  host_.log.Add(Join(tag(), "572 NextDocument", "->", next ? next->tag() : "none"));
  if (!document) return E_POINTER;
  *document = next;
  if (next) next->AddRef();
  return S_OK;
}

// ---- RecordingHost --------------------------------------------------------------------------------

class RecordingHost::Frame final : public Unknown {
 public:
  explicit Frame(RecordingHost& host) : host_(host) {}
  HRESULT QueryInterface(const Guid& iid, void** object) override {
    if (!object) return E_POINTER;
    *object = iid == IID_IUnknown ? this : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  uint32_t AddRef() override { return uint32_t(++host_.frame_objects_out); }
  uint32_t Release() override { return uint32_t(--host_.frame_objects_out); }

 private:
  RecordingHost& host_;
};

RecordingHost::RecordingHost() : frame_(std::make_unique<Frame>(*this)) {}

RecordingHost::~RecordingHost() = default;

HRESULT RecordingHost::QueryInterface(const Guid& iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_HostApplication || iid == IID_IDispatch)
    *object = static_cast<HostApplication*>(this);
  else if (iid == IID_IConnectionPointContainer)
    *object = static_cast<ConnectionPointContainer*>(this);
  else if (iid == IID_IProvideClassInfo2)
    *object = static_cast<ProvideClassInfo2*>(this);
  else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT RecordingHost::FindConnectionPoint(const Guid& iid, ConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (!(iid == events.iid())) return E_NOINTERFACE;
  events.AddRef();
  *point = &events;
  return S_OK;
}

HRESULT RecordingHost::GetClassInfo(void** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT RecordingHost::GetGUID(uint32_t kind, Guid* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = events.iid();
  return S_OK;
}

HRESULT RecordingHost::ActiveDocument(HostDocument** document) {
  log.Add(Join("app 8 ActiveDocument ->", active_ ? active_->tag() : "none"));
  if (!document) return E_POINTER;
  *document = active_;
  if (active_) active_->AddRef();
  return S_OK;
}

HRESULT RecordingHost::FrameObject(Unknown** object) {
  log.Add("app 15 FrameObject");
  if (!object) return E_POINTER;
  frame_->AddRef();
  *object = frame_.get();
  return S_OK;
}

HRESULT RecordingHost::AddFileSaveAsItem(const char16_t* callback, const char16_t* description, int32_t type,
                                         int32_t* result) {
  log.Add(Join("app 28 AddFileSaveAsItem", Quoted(callback), Quoted(description), Int(type)));
  save_as_items.push_back(SaveAsItem{callback ? callback : u"", description ? description : u"", type});
  if (result) *result = 1;
  return S_OK;
}

HRESULT RecordingHost::RemoveMenu(int32_t type, const char16_t* menu_text, const char16_t* callback,
                                  int32_t* result) {
  log.Add(Join("app 62 RemoveMenu", Int(type), Quoted(menu_text), Quoted(callback)));
  if (result) *result = 0;  // no such menu
  return S_OK;
}

HRESULT RecordingHost::RemoveFileSaveAsItem(const char16_t* callback, const char16_t* description, int32_t type,
                                            int32_t* result) {
  log.Add(Join("app 64 RemoveFileSaveAsItem", Quoted(callback), Quoted(description), Int(type)));
  // The host matches a Save-As type by its callback and document type.
  const std::u16string cb = callback ? callback : u"";
  const auto before = save_as_items.size();
  std::erase_if(save_as_items, [&](const SaveAsItem& i) { return i.callback == cb && i.type == type; });
  if (result) *result = save_as_items.size() < before ? 1 : 0;
  return S_OK;
}

HRESULT RecordingHost::AddToolbarCommand(const char16_t* toolbar_name, int32_t toolbar_id, int32_t button,
                                         const char16_t* callbacks, int32_t* result) {
  log.Add(Join("app 70 AddToolbarCommand", Quoted(toolbar_name), Int(toolbar_id), Int(button), Quoted(callbacks)));
  for (Toolbar& t : toolbars)
    if (t.id == toolbar_id) t.callbacks = callbacks ? callbacks : u"";
  if (result) *result = 1;
  return S_OK;
}

HRESULT RecordingHost::ShowToolbar(const char16_t* toolbar_name, int32_t toolbar_id, int32_t* result) {
  log.Add(Join("app 71 ShowToolbar", Quoted(toolbar_name), Int(toolbar_id)));
  for (Toolbar& t : toolbars)
    if (t.id == toolbar_id) t.shown = true;
  if (result) *result = 1;
  return S_OK;
}

HRESULT RecordingHost::RemoveToolbar(const char16_t* toolbar_name, int32_t toolbar_id, int32_t* result) {
  log.Add(Join("app 73 RemoveToolbar", Quoted(toolbar_name), Int(toolbar_id)));
  std::erase_if(toolbars, [&](const Toolbar& t) { return t.id == toolbar_id; });
  if (result) *result = 1;
  return S_OK;
}

HRESULT RecordingHost::SendMessageToUser(const char16_t* text, int32_t icon, int32_t buttons, int32_t* result) {
  log.Add(Join("app 85 SendMessageToUser", Quoted(text), Int(icon), Int(buttons)));
  messages.push_back(text ? text : u"");
  if (result) *result = 1;
  return S_OK;
}

HRESULT RecordingHost::FirstDocument(HostDocument** document) {
  RecordingDocument* first = open_.empty() ? nullptr : open_.front();
  log.Add(Join("app 104 FirstDocument ->", first ? first->tag() : "none"));
  if (!document) return E_POINTER;
  *document = first;
  if (first) first->AddRef();
  return S_OK;
}

HRESULT RecordingHost::AddToolbar(const char16_t* toolbar_name, const char16_t* title, BitmapHandle small_bitmap,
                                  BitmapHandle large_bitmap, int32_t menu_position, int32_t decoration,
                                  int32_t* toolbar_id) {
  auto size = [](BitmapHandle b) { return b ? Int(b->width) + "x" + Int(b->height) : std::string("none"); };
  log.Add(Join("app 137 AddToolbar", Quoted(toolbar_name), Quoted(title), size(small_bitmap), size(large_bitmap),
               Int(menu_position), Int(decoration)));
  if (!toolbar_id) return E_POINTER;
  *toolbar_id = 0;
  if (toolbar_result != S_OK) return toolbar_result;
  Toolbar t;
  t.name = toolbar_name ? toolbar_name : u"";
  t.title = title ? title : u"";
  t.id = int32_t(toolbars.size()) + 1;
  if (small_bitmap) t.small_width = small_bitmap->width, t.small_height = small_bitmap->height;
  if (large_bitmap) t.large_width = large_bitmap->width, t.large_height = large_bitmap->height;
  toolbars.push_back(t);
  *toolbar_id = t.id;
  return S_OK;
}

RecordingDocument* RecordingHost::Create(int32_t type, const std::string& name) {
  const int id = next_id_++;
  documents_.push_back(std::make_unique<RecordingDocument>(*this, id, type, name.empty() ? "Part" + std::to_string(id) : name));
  RecordingDocument* doc = documents_.back().get();
  open_.push_back(doc);
  Relink();
  active_ = doc;
  return doc;
}

void RecordingHost::Relink() {
  for (size_t i = 0; i < open_.size(); ++i) open_[i]->next = i + 1 < open_.size() ? open_[i + 1] : nullptr;
}

RecordingDocument* RecordingHost::OpenDocument(int32_t type, const std::string& name) {
  RecordingDocument* doc = Create(type, name);
  log.Add(Join("host opens", doc->tag(), "type", Int(type)));
  DispParams p;
  p.args.push_back(Variant::String(FromUtf8(doc->name)));
  events.Fire(1, p);
  events.Fire(5, DispParams{});
  return doc;
}

RecordingDocument* RecordingHost::NewDocument(int32_t type) {
  RecordingDocument* doc = Create(type, "");
  log.Add(Join("host creates", doc->tag(), "type", Int(type)));
  DispParams p;  // last argument first: the type, then the document
  p.args.push_back(Variant::Int(type));
  p.args.push_back(Variant::Object(static_cast<HostDocument*>(doc)));
  events.Fire(2, p);
  events.Fire(5, DispParams{});
  return doc;
}

void RecordingHost::Activate(RecordingDocument* doc) {
  active_ = doc;
  log.Add(Join("host activates", doc ? doc->tag() : "none"));
  events.Fire(5, DispParams{});
}

void RecordingHost::CloseDocument(RecordingDocument* doc) {
  log.Add(Join("host closes", doc->tag()));
  doc->events.Fire(2, DispParams{});
  std::erase(open_, doc);
  Relink();
  if (active_ == doc) active_ = open_.empty() ? nullptr : open_.back();
  events.Fire(5, DispParams{});
}

void RecordingHost::LoadDocument(RecordingDocument* doc) {
  log.Add(Join("host loads", doc->tag()));
  doc->events.Fire(8, DispParams{});
}

void RecordingHost::SaveDocument(RecordingDocument* doc) {
  log.Add(Join("host saves", doc->tag()));
  doc->events.Fire(9, DispParams{});
}

void RecordingHost::Shutdown() {
  log.Add("host shuts down");
  events.Fire(3, DispParams{});
}

std::vector<RecordingDocument*> RecordingHost::OpenDocuments() const { return open_; }

}  // namespace tandrel::host
