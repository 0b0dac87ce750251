#include "addin_app.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tandrel {

namespace {

AddinApp*& Current() {
  static AddinApp* app = nullptr;
  return app;
}

constexpr char16_t kSaveAsCallback[] = u"Tandrel@SaveAsCB";
constexpr char16_t kSaveAsDescription[] = u"xampl\nTandrel save (*.xampl)";
constexpr char16_t kRemovedSaveAsDescription[] = u"xampl\nExample save (*.xampl)";
constexpr char16_t kRemovedMenu[] = u"Tandrel &App";
constexpr char16_t kToolbarTitle[] = u"-渐开线齿轮-      ";
constexpr char16_t kButtonCallbacks[] = u"ToolbarCB0@updateButton,按钮\n-渐开线齿轮-";

int32_t ArgInt(const DispParams& params, size_t from_last) {
  return from_last < params.args.size() ? params.args[from_last].lVal : 0;
}

}  // namespace

// ---- AddinApp -----------------------------------------------------------------------------------

AddinApp::AddinApp(HostApplication* h) : host(h) {
  if (host) host->AddRef();
}

AddinApp::~AddinApp() {
  // Sinks still listed belong to a host that went away: they are let go without calling it.
  while (!sinks.empty()) sinks.front()->Abandon();
}

AddinApp* TheAddinApp() { return Current(); }

HostApplication* AddinHost() { return Current() ? Current()->host : nullptr; }

void AddinApp::Start() {
  RegisterSaveAsForActiveDoc();
  AddToolbar();
  auto* events = new AppEventSink(*this);
  events->AttachOpenDocuments(host);
}

void AddinApp::RegisterSaveAsForActiveDoc() {
  if (!host) return;
  HostDocument* doc = nullptr;
  host->ActiveDocument(&doc);
  if (!doc) return;
  int32_t type = 0;
  doc->DocumentType(&type);
  doc->Release();
  if (type >= 1 && type <= 3 && !save_as_added[type - 1]) {
    AddSaveAsItem(type);
    save_as_added[type - 1] = true;
  }
}

void AddinApp::AddSaveAsItem(int32_t document_type) {
  Unknown* frame = nullptr;
  host->FrameObject(&frame);
  ReleaseAndClear(frame);
  int32_t result = 0;
  host->AddFileSaveAsItem(kSaveAsCallback, kSaveAsDescription, document_type, &result);
}

void AddinApp::AddToolbar() {
  if (!host) return;
  if (const HostBitmap* b = FindBitmapResource(17779)) small_bitmap = MapSystemColours(*b);
  if (const HostBitmap* b = FindBitmapResource(17777)) large_bitmap = MapSystemColours(*b);
  int32_t id = 0;
  if (host->AddToolbar(kToolbarName, kToolbarTitle, &small_bitmap, &large_bitmap, -1, 15, &id) != S_OK) return;
  toolbar_id = id;
  if (toolbar_id != 0) {
    int32_t result = 0;
    host->AddToolbarCommand(kToolbarName, toolbar_id, 0, kButtonCallbacks, &result);
    host->ShowToolbar(kToolbarName, toolbar_id, &result);
  }
}

int AddinApp::AttachDocumentSink(Unknown* document, int32_t document_type) {
  HostDocument* doc = QueryAs<HostDocument>(document, IID_HostDocument);
  if (!doc) return 0;
  if (document_type == 1) {
    auto* sink = new swPartEvents(*this);
    sink->loaded = 0;
    sink->AdviseSource(doc);
  }
  doc->Release();
  return 0;
}

void AddinApp::DisconnectFromHost() {
  if (!host) return;
  RemoveSaveAsItems();
  RemoveToolbar();
  while (!sinks.empty()) sinks.front()->Destroy();
  ReleaseAndClear(host);
}

void AddinApp::RemoveSaveAsItems() {
  for (int32_t type = 1; type <= 3; ++type)
    if (save_as_added[type - 1]) RemoveAddinItemsForType(type);
}

void AddinApp::RemoveAddinItemsForType(int32_t document_type) {
  int32_t result = 0;
  host->RemoveMenu(document_type, kRemovedMenu, nullptr, &result);
  host->RemoveFileSaveAsItem(kSaveAsCallback, kRemovedSaveAsDescription, document_type, &result);
}

void AddinApp::RemoveToolbar() {
  if (toolbar_id == 0) return;
  int32_t result = 0;
  host->RemoveToolbar(kToolbarName, toolbar_id, &result);
}

int32_t StartAddin(HostApplication* host) {
  if (Current()) return 0;
  Current() = new AddinApp(host);
  Current()->Start();
  return 1;
}

void ShutdownAddin() {
  AddinApp* app = Current();
  if (!app) return;
  app->DisconnectFromHost();
  Current() = nullptr;
  delete app;
}

// ---- Archive ------------------------------------------------------------------------------------

Archive::Archive(Stream& stream, bool storing, size_t buffer_size)
    : stream_(stream), storing_(storing), buffer_(buffer_size) {}

Archive::~Archive() { Close(); }

void Archive::Flush() {
  if (storing_ && used_ > 0) {
    uint32_t written = 0;
    stream_.Write(buffer_.data(), uint32_t(used_), &written);
    used_ = 0;
  }
}

void Archive::Write(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0 && storing_ && !closed_) {
    if (used_ == buffer_.size()) Flush();
    const size_t n = std::min(size, buffer_.size() - used_);
    std::memcpy(buffer_.data() + used_, bytes, n);
    used_ += n;
    bytes += n;
    size -= n;
  }
}

size_t Archive::Read(void* data, size_t size) {
  auto* bytes = static_cast<uint8_t*>(data);
  size_t done = 0;
  while (done < size && !storing_ && !closed_) {
    if (read_at_ == used_) {
      uint32_t got = 0;
      stream_.Read(buffer_.data(), uint32_t(buffer_.size()), &got);
      if (got == 0) break;
      used_ = std::min<size_t>(got, buffer_.size());
      read_at_ = 0;
    }
    const size_t n = std::min(size - done, used_ - read_at_);
    std::memcpy(bytes + done, buffer_.data() + read_at_, n);
    read_at_ += n;
    done += n;
  }
  return done;
}

void Archive::Close() {
  if (closed_) return;
  Flush();
  closed_ = true;
}

// ---- HostEventSink ------------------------------------------------------------------------------

HostEventSink::HostEventSink(AddinApp& app) : app_(app) {
  app_.sinks.push_back(this);
  listed_ = true;
}

HostEventSink::~HostEventSink() = default;

uint32_t HostEventSink::Release() {
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

int HostEventSink::AdviseSource(Unknown* source) {
  if (source_ != source) {
    if (source) source->AddRef();
    ReleaseAndClear(source_);
    source_ = source;
  }
  if (!source) return 0;
  auto* info = QueryAs<ProvideClassInfo2>(source, IID_IProvideClassInfo2);
  if (!info) return 0;
  Guid iid{};
  const HRESULT hr = info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid);
  info->Release();
  if (hr != S_OK) return 0;
  source_iid_ = iid;
  auto* unknown = QueryAs<Unknown>(source, IID_IUnknown);
  if (!unknown) return 0;
  auto* container = QueryAs<ConnectionPointContainer>(unknown, IID_IConnectionPointContainer);
  unknown->Release();
  if (!container) return 0;
  ConnectionPoint* point = nullptr;
  container->FindConnectionPoint(iid, &point);
  container->Release();
  if (point) {
    if (point->Advise(&dispatch_, &cookie_) == S_OK)
      point_ = point;
    else
      point->Release();
  }
  return 1;
}

void HostEventSink::UnadviseSource() {
  if (!point_) return;
  ConnectionPoint* point = point_;
  point_ = nullptr;
  point->Unadvise(cookie_);
  cookie_ = 0;
  point->Release();
}

void HostEventSink::Destroy() {
  AddRef();  // stays alive to the end of this call
  if (listed_) {
    auto& list = app_.sinks;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    listed_ = false;
    Release();  // the list's reference
  }
  UnadviseSource();
  ReleaseAndClear(source_);
  Release();
}

void HostEventSink::Abandon() {
  auto& list = app_.sinks;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  delete this;  // the host that held the other references is gone
}

HRESULT HostEventSink::Nested::QueryInterface(const Guid& iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == outer_.source_iid_) {
    *object = static_cast<Dispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT HostEventSink::Nested::GetTypeInfoCount(uint32_t* count) {
  if (count) *count = 0;
  return S_OK;
}

HRESULT HostEventSink::Nested::Invoke(int32_t dispid, const Guid&, uint32_t, uint16_t, DispParams* params,
                                      Variant* result, void*, uint32_t*) {
  static const DispParams kNone;
  int32_t value = 0;
  if (!outer_.HandleEvent(dispid, params ? *params : kNone, value)) return DISP_E_MEMBERNOTFOUND;
  if (result) {
    *result = Variant{};
    result->vt = VT_BOOL;
    result->boolVal = static_cast<int16_t>(value & 0xFFFF);
  }
  return S_OK;
}

// ---- AppEventSink -------------------------------------------------------------------------------

void AppEventSink::AttachOpenDocuments(HostApplication* host) {
  if (!host || AdviseSource(host) == 0) return;
  HostDocument* doc = nullptr;
  host->FirstDocument(&doc);
  while (doc) {
    int32_t type = -1;
    doc->DocumentType(&type);
    app_.AttachDocumentSink(doc, type);
    HostDocument* next = nullptr;
    doc->NextDocument(&next);
    doc->Release();
    doc = next;
  }
}

int AppEventSink::OnDocumentOpened() {
  app_.RegisterSaveAsForActiveDoc();
  auto* host = QueryAs<HostApplication>(source(), IID_HostApplication);
  if (!host) return 0;
  HostDocument* doc = nullptr;
  host->ActiveDocument(&doc);
  host->Release();
  if (!doc) return 0;
  bool listening = false;
  for (HostEventSink* sink : app_.sinks) {
    if (!dynamic_cast<swDocumentEvents*>(sink)) continue;
    auto* other = QueryAs<HostDocument>(sink->source(), IID_HostDocument);
    if (!other) continue;
    listening = listening || other == doc;
    other->Release();
  }
  if (!listening) {
    int32_t type = 0;
    doc->DocumentType(&type);
    app_.AttachDocumentSink(doc, type);
  }
  doc->Release();
  return 0;
}

int AppEventSink::OnHostDestroyed() {
  app_.host = nullptr;  // the host is going away: nothing more is released to it
  Destroy();
  return 0;
}

bool AppEventSink::HandleEvent(int32_t dispid, const DispParams& params, int32_t& result) {
  switch (dispid) {
    case 5:
      app_.RegisterSaveAsForActiveDoc();
      result = 0;
      return true;
    case 1:
      result = OnDocumentOpened();
      return true;
    case 2: {
      Unknown* doc = params.args.size() >= 2 ? params.args[1].punkVal : nullptr;
      result = app_.AttachDocumentSink(doc, ArgInt(params, 0));
      return true;
    }
    case 3:
      result = OnHostDestroyed();
      return true;
    default:
      return false;
  }
}

// ---- document sinks -----------------------------------------------------------------------------

HRESULT swDocumentEvents::LoadFromStorage() {
  if (loaded) return S_OK;
  loaded = 1;
  return OpenAndSerialize(false);
}

HRESULT swDocumentEvents::SaveToStorage() { return OpenAndSerialize(true); }

HRESULT swDocumentEvents::OpenAndSerialize(bool storing) {
  auto* doc = QueryAs<HostDocument>(source(), IID_HostDocument);
  if (!doc) return E_FAIL;
  const char16_t* name = StreamName();
  Unknown* object = nullptr;
  HRESULT result = E_FAIL;
  if (Succeeded(doc->OpenStorageStream(name, storing ? 1 : 0, &object)) && object) {
    if (auto* stream = QueryAs<Stream>(object, IID_IStream)) {
      Archive archive(*stream, storing, 4096);
      Serialize(archive);
      archive.Close();
      stream->Release();
      result = S_OK;
    } else if (storing) {
      result = S_OK;
    }
    object->Release();
    doc->ReleaseStorageStream(name);
  }
  doc->Release();
  return result;
}

bool swPartEvents::HandleEvent(int32_t dispid, const DispParams&, int32_t& result) {
  switch (dispid) {
    case 2:
      Destroy();
      result = 0;
      return true;
    case 8:
      result = LoadFromStorage();
      return true;
    case 9:
      result = SaveToStorage();
      return true;
    default:
      return false;
  }
}

HostEventSink* CreateSinkByName(const char* name, AddinApp& app) {
  if (std::strcmp(name, "swPartEvents") == 0) return new swPartEvents(app);
  if (std::strcmp(name, "swDocumentEvents") == 0) return new swDocumentEvents(app);
  return nullptr;
}

}  // namespace tandrel
