// Message maps: each class that handles window messages or commands keeps a
// static table of entries, chained to its base class's table. A lookup walks
// the chain from the most derived class upwards, so a derived class's entry
// hides its base's entry for the same message.
#pragma once

#include <windows.h>

class CCmdTarget;

// Calls the handler of one entry; the thunk knows the handler's signature.
// It returns true when the message was handled and stores the handler's
// result in *result.
using AfxHandlerThunk = bool (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;        // window message (WM_COMMAND for commands and notifications)
  UINT nCode;           // notification code for WM_COMMAND entries, else 0
  UINT nID;             // first command or control id for WM_COMMAND entries
  UINT nLastID;         // last id of the range (equal to nID for a single id)
  AfxHandlerThunk pfn;  // null ends the table
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root of the chain
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Finds the entry for a message (and, for WM_COMMAND, its code and id) in
// the chain that starts at map; null when no class handles it.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code,
                                            UINT id);

#define DECLARE_MESSAGE_MAP()                       \
 protected:                                         \
  static const AFX_MSGMAP* GetThisMessageMap();     \
  const AFX_MSGMAP* GetMessageMap() const override; \
                                                    \
 private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    typedef theClass ThisClass;                                                     \
    typedef baseClass TheBaseClass;                                                 \
    static const AFX_MSGMAP_ENTRY messageEntries[] = {
#define END_MESSAGE_MAP()                                                                      \
  { 0, 0, 0, 0, nullptr }                                                                      \
  }                                                                                            \
  ;                                                                                            \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]}; \
  return &messageMap;                                                                          \
  }

// The thunks are captureless lambdas inside the class's own member
// function, so they may reach protected and private handlers.
#define AFX_THUNK(body)                                                           \
  [](CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT* result) -> bool { \
    ThisClass* self = static_cast<ThisClass*>(target);                            \
    (void)self;                                                                   \
    (void)wParam;                                                                 \
    (void)lParam;                                                                 \
    (void)result;                                                                 \
    body;                                                                         \
    return true;                                                                  \
  }

// void memberFxn()
#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(id), AFX_THUNK((self->*(memberFxn))())},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                     \
  {WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(idLast), \
   AFX_THUNK((self->*(memberFxn))(static_cast<UINT>(LOWORD(wParam))))},
#define ON_CONTROL(code, id, memberFxn)                                               \
  {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
   AFX_THUNK((self->*(memberFxn))())},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND() \
  {WM_SYSCOMMAND, 0, 0, 0, AFX_THUNK(self->OnSysCommand(static_cast<UINT>(wParam), lParam))},
// void OnPaint()
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, AFX_THUNK(self->OnPaint())},
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() \
  {WM_QUERYDRAGICON, 0, 0, 0, \
   AFX_THUNK(*result = reinterpret_cast<LRESULT>(self->OnQueryDragIcon()))},
// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE()                                                                     \
  {WM_SIZE, 0, 0, 0,                                                                     \
   AFX_THUNK(self->OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), \
                          static_cast<short>(HIWORD(lParam))))},
// void OnGetMinMaxInfo(MINMAXINFO* lpMMI)
#define ON_WM_GETMINMAXINFO() \
  {WM_GETMINMAXINFO, 0, 0, 0, \
   AFX_THUNK(self->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)))},
// BOOL OnHelpInfo(HELPINFO* pHelpInfo)
#define ON_WM_HELPINFO() \
  {WM_HELP, 0, 0, 0, AFX_THUNK(*result = self->OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam)))},
