// The add-in object and its event sinks: what the plug-in puts into the host at start-up (a Save-As
// file type, a toolbar with one button, event subscriptions) and takes out again at unload.
#pragma once

#include <cstdint>
#include <vector>

#include "com_basics.h"
#include "host_interfaces.h"

namespace tandrel {

class HostEventSink;

inline constexpr char16_t kToolbarName[] = u"Tandrel";

class AddinApp {
 public:
  explicit AddinApp(HostApplication* host);  // keeps a reference to the host
  virtual ~AddinApp();
  AddinApp(const AddinApp&) = delete;
  AddinApp& operator=(const AddinApp&) = delete;
  virtual const char* RuntimeClassName() const { return "AddinApp"; }

  HostApplication* host = nullptr;
  bool save_as_added[3] = {false, false, false};  // document types 1, 2, 3
  std::vector<HostEventSink*> sinks;              // every live event sink
  HostBitmap small_bitmap, large_bitmap;
  int32_t toolbar_id = 0;

  // Start-up: Save-As type for the active document, toolbar, application events, open documents.
  void Start();
  void RegisterSaveAsForActiveDoc();
  void AddSaveAsItem(int32_t document_type);
  void AddToolbar();
  // A part document gets a sink listening to its events; other types get none. Returns 0.
  int AttachDocumentSink(Unknown* document, int32_t document_type);
  // Takes out what start-up put in and lets go of the host; nothing when the host is gone.
  void DisconnectFromHost();
  void RemoveSaveAsItems();
  void RemoveAddinItemsForType(int32_t document_type);
  void RemoveToolbar();
};

AddinApp* TheAddinApp();
HostApplication* AddinHost();  // the host to draw into; null before start-up or after the host went

// The bodies of the library's entry points: start-up by the host, unload of the library.
int32_t StartAddin(HostApplication* host);
void ShutdownAddin();

// Buffered reading or writing of a storage stream.
class Archive {
 public:
  Archive(Stream& stream, bool storing, size_t buffer_size = 4096);
  ~Archive();
  bool IsStoring() const { return storing_; }
  void Write(const void* data, size_t size);
  size_t Read(void* data, size_t size);
  void Close();

 private:
  void Flush();
  Stream& stream_;
  bool storing_;
  std::vector<uint8_t> buffer_;
  size_t used_ = 0, read_at_ = 0;
  bool closed_ = false;
};

// Base of every sink: holds the event source and the connection, and answers the host's dispatch
// calls through its event map. The sink list holds one reference; the connection holds another.
class HostEventSink {
 public:
  explicit HostEventSink(AddinApp& app);
  virtual ~HostEventSink();
  HostEventSink(const HostEventSink&) = delete;
  HostEventSink& operator=(const HostEventSink&) = delete;

  virtual const char* RuntimeClassName() const = 0;
  // Connects to the source's default event interface; 0 when the source offers none.
  virtual int AdviseSource(Unknown* source);
  virtual void UnadviseSource();
  // Leaves the sink list, disconnects and forgets the source.
  void Destroy();
  // Lets go of the sink without calling a host that is gone.
  void Abandon();

  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();
  Unknown* source() const { return source_; }
  bool connected() const { return point_ != nullptr; }
  Dispatch* dispatch() { return &dispatch_; }

 protected:
  // The event map: runs the handler of the DISPID, false when there is none.
  virtual bool HandleEvent(int32_t dispid, const DispParams& params, int32_t& result) = 0;
  AddinApp& app_;

 private:
  class Nested : public Dispatch {
   public:
    explicit Nested(HostEventSink& outer) : outer_(outer) {}
    HRESULT QueryInterface(const Guid& iid, void** object) override;
    uint32_t AddRef() override { return outer_.AddRef(); }
    uint32_t Release() override { return outer_.Release(); }
    HRESULT GetTypeInfoCount(uint32_t* count) override;
    HRESULT GetTypeInfo(uint32_t, uint32_t, void**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(const Guid&, const char16_t**, uint32_t, uint32_t, int32_t*) override {
      return E_NOTIMPL;
    }
    HRESULT Invoke(int32_t dispid, const Guid& iid, uint32_t locale, uint16_t flags, DispParams* params,
                   Variant* result, void* exception_info, uint32_t* argument_error) override;

   private:
    HostEventSink& outer_;
  };

  Nested dispatch_{*this};
  Unknown* source_ = nullptr;
  ConnectionPoint* point_ = nullptr;
  uint32_t cookie_ = 0;
  Guid source_iid_{};
  uint32_t refs_ = 1;
  bool listed_ = false;
};

// Listens to the host application.
class AppEventSink : public HostEventSink {
 public:
  using HostEventSink::HostEventSink;
  const char* RuntimeClassName() const override { return "AppEventSink"; }
  // Connects to the host and attaches a sink to every open part document.
  void AttachOpenDocuments(HostApplication* host);
  int OnDocumentOpened();
  int OnHostDestroyed();

 protected:
  bool HandleEvent(int32_t dispid, const DispParams& params, int32_t& result) override;
};

// Storage of a document's add-in data in a named stream of the document.
class swDocumentEvents : public HostEventSink {
 public:
  using HostEventSink::HostEventSink;
  const char* RuntimeClassName() const override { return "swDocumentEvents"; }
  virtual const char16_t* StreamName() const { return u"TandrelDoc"; }
  virtual void Serialize(Archive&) {}
  HRESULT LoadFromStorage();
  HRESULT SaveToStorage();
  int32_t loaded = 0;

 protected:
  bool HandleEvent(int32_t, const DispParams&, int32_t&) override { return false; }
  HRESULT OpenAndSerialize(bool storing);
};

class swPartEvents : public swDocumentEvents {
 public:
  using swDocumentEvents::swDocumentEvents;
  const char* RuntimeClassName() const override { return "swPartEvents"; }
  const char16_t* StreamName() const override { return u"TandrelPart"; }

 protected:
  bool HandleEvent(int32_t dispid, const DispParams& params, int32_t& result) override;
};

// Sink classes created by name, as the framework's runtime classes are; null for an unknown name.
HostEventSink* CreateSinkByName(const char* name, AddinApp& app);

// The toolbar images by resource number (17779: 48 by 15, 17777: 66 by 22); null when there is none.
const HostBitmap* FindBitmapResource(int id);
// The toolbar image with its button colours mapped to the desktop's.
HostBitmap MapSystemColours(const HostBitmap& bitmap);

}  // namespace tandrel
