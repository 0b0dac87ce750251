// The small object model shared by the plug-in and its host: interface identifiers, reference-counted
// interfaces, dispatch with variants, connection points for events, class information and streams.
// Interfaces are plain C++ classes whose virtual functions are called by position, like the host's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

using HRESULT = int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
constexpr HRESULT CONNECT_E_NOCONNECTION = static_cast<HRESULT>(0x80040200u);
constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201u);

constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }

struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
  friend constexpr bool operator==(const Guid& a, const Guid& b) {
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
    for (int i = 0; i < 8; ++i)
      if (a.data4[i] != b.data4[i]) return false;
    return true;
  }
};

namespace detail {
constexpr uint32_t HexDigit(char c) {
  return c >= '0' && c <= '9' ? uint32_t(c - '0')
         : c >= 'a' && c <= 'f' ? uint32_t(c - 'a' + 10)
         : c >= 'A' && c <= 'F' ? uint32_t(c - 'A' + 10)
                                : throw "not a hexadecimal digit";
}
constexpr uint32_t Hex(std::string_view s, size_t at, size_t digits) {
  uint32_t v = 0;
  for (size_t i = 0; i < digits; ++i) v = v * 16 + HexDigit(s[at + i]);
  return v;
}
}  // namespace detail

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" as a Guid; usable in constant expressions.
constexpr Guid MakeGuid(std::string_view s) {
  if (s.size() != 38 || s[0] != '{' || s[37] != '}') throw "malformed class identifier";
  Guid g;
  g.data1 = detail::Hex(s, 1, 8);
  g.data2 = static_cast<uint16_t>(detail::Hex(s, 10, 4));
  g.data3 = static_cast<uint16_t>(detail::Hex(s, 15, 4));
  g.data4[0] = static_cast<uint8_t>(detail::Hex(s, 20, 2));
  g.data4[1] = static_cast<uint8_t>(detail::Hex(s, 22, 2));
  for (int i = 0; i < 6; ++i) g.data4[2 + i] = static_cast<uint8_t>(detail::Hex(s, 25 + 2 * size_t(i), 2));
  return g;
}

// Lower-case text with braces, as the registration writes it.
inline std::string GuidToString(const Guid& g) {
  static const char hex[] = "0123456789abcdef";
  std::string s = "{";
  auto put = [&](uint32_t v, int digits) {
    for (int i = digits - 1; i >= 0; --i) s += hex[(v >> (4 * i)) & 15];
  };
  put(g.data1, 8);
  s += '-';
  put(g.data2, 4);
  s += '-';
  put(g.data3, 4);
  s += '-';
  put(g.data4[0], 2);
  put(g.data4[1], 2);
  s += '-';
  for (int i = 2; i < 8; ++i) put(g.data4[i], 2);
  return s + "}";
}

inline constexpr Guid IID_IUnknown = MakeGuid("{00000000-0000-0000-C000-000000000046}");
inline constexpr Guid IID_IDispatch = MakeGuid("{00020400-0000-0000-C000-000000000046}");
inline constexpr Guid IID_IStream = MakeGuid("{0000000C-0000-0000-C000-000000000046}");
inline constexpr Guid IID_IProvideClassInfo2 = MakeGuid("{A6BC3AC0-DBAA-11CE-9DE3-00AA004BB851}");
inline constexpr Guid IID_IConnectionPointContainer = MakeGuid("{B196B284-BAB4-101A-B69C-00AA00341D07}");
inline constexpr Guid IID_IConnectionPoint = MakeGuid("{B196B286-BAB4-101A-B69C-00AA00341D07}");
inline constexpr Guid IID_NULL = Guid{};

// Base of every interface. Objects free themselves when their count drops to zero (or are owned by
// whoever made them, as the host's objects are); nobody deletes through an interface pointer.
struct Unknown {
  virtual HRESULT QueryInterface(const Guid& iid, void** object) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~Unknown() = default;
};

enum VarType : uint16_t { VT_EMPTY = 0, VT_I4 = 3, VT_BSTR = 8, VT_DISPATCH = 9, VT_BOOL = 11, VT_UNKNOWN = 13 };
constexpr int16_t VARIANT_TRUE = -1;

// A tagged value of an event argument or result. Object pointers are borrowed for the call.
struct Variant {
  VarType vt = VT_EMPTY;
  int32_t lVal = 0;
  int16_t boolVal = 0;
  std::u16string bstrVal;
  Unknown* punkVal = nullptr;

  static Variant Int(int32_t v) { Variant r; r.vt = VT_I4; r.lVal = v; return r; }
  static Variant String(std::u16string s) { Variant r; r.vt = VT_BSTR; r.bstrVal = std::move(s); return r; }
  static Variant Object(Unknown* p) { Variant r; r.vt = VT_DISPATCH; r.punkVal = p; return r; }
};

// Arguments of a dispatch call, last argument first (args[0] is the last one).
struct DispParams {
  std::vector<Variant> args;
};

constexpr uint16_t DISPATCH_METHOD = 1;

struct Dispatch : Unknown {
  virtual HRESULT GetTypeInfoCount(uint32_t* count) = 0;
  virtual HRESULT GetTypeInfo(uint32_t index, uint32_t locale, void** info) = 0;
  virtual HRESULT GetIDsOfNames(const Guid& iid, const char16_t** names, uint32_t count, uint32_t locale,
                                int32_t* ids) = 0;
  virtual HRESULT Invoke(int32_t dispid, const Guid& iid, uint32_t locale, uint16_t flags, DispParams* params,
                         Variant* result, void* exception_info, uint32_t* argument_error) = 0;

 protected:
  ~Dispatch() = default;
};

struct ConnectionPoint : Unknown {
  virtual HRESULT GetConnectionInterface(Guid* iid) = 0;
  virtual HRESULT Advise(Unknown* sink, uint32_t* cookie) = 0;
  virtual HRESULT Unadvise(uint32_t cookie) = 0;

 protected:
  ~ConnectionPoint() = default;
};

struct ConnectionPointContainer : Unknown {
  virtual HRESULT FindConnectionPoint(const Guid& iid, ConnectionPoint** point) = 0;

 protected:
  ~ConnectionPointContainer() = default;
};

constexpr uint32_t GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

struct ProvideClassInfo2 : Unknown {
  virtual HRESULT GetClassInfo(void** info) = 0;
  virtual HRESULT GetGUID(uint32_t kind, Guid* guid) = 0;

 protected:
  ~ProvideClassInfo2() = default;
};

struct Stream : Unknown {
  virtual HRESULT Read(void* buffer, uint32_t size, uint32_t* read) = 0;
  virtual HRESULT Write(const void* buffer, uint32_t size, uint32_t* written) = 0;

 protected:
  ~Stream() = default;
};

// Releases the interface (when there is one) and clears the pointer.
template <class T>
void ReleaseAndClear(T*& p) {
  if (p) {
    T* q = p;
    p = nullptr;
    q->Release();
  }
}

// Asks `from` for the interface `iid` as a T; null when it does not answer.
template <class T>
T* QueryAs(Unknown* from, const Guid& iid) {
  void* out = nullptr;
  if (!from || from->QueryInterface(iid, &out) != S_OK) return nullptr;
  return static_cast<T*>(out);
}

}  // namespace tandrel
