// Classes that the framework creates by name: a class declares itself
// creatable and RUNTIME_CLASS(name) yields a description that can make new
// objects of it.
#pragma once

class CObject {
 public:
  virtual ~CObject() = default;
};

struct CRuntimeClass {
  const char* m_lpszClassName;
  CObject* (*m_pfnCreateObject)();
  CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};

#define DECLARE_DYNCREATE(className)           \
 public:                                       \
  static const CRuntimeClass class##className; \
  static CObject* CreateObject();

#define IMPLEMENT_DYNCREATE(className)                                                      \
  const CRuntimeClass className::class##className = {#className, &className::CreateObject}; \
  CObject* className::CreateObject() { return new className; }

#define RUNTIME_CLASS(className) (&className::class##className)
