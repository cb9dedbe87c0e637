// The handheld's messaging API (CEMAPI): the few interfaces and calls the SMS watch uses. Our
// own declarations; the slots of each interface are in the order given here. There is no
// messaging system on Linux: MAPIInitialize fails unless the simulation is switched on
// (platform/sim/MapiSimulation.h, or PH_MAPI=1 for an empty one).
#pragma once

#include "platform/wintypes.h"

typedef LONG HRESULT;
typedef BYTE* LPBYTE;

#define S_OK ((HRESULT)0)
#define E_FAIL ((HRESULT)0x80004005)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define MAPI_E_NOT_FOUND ((HRESULT)0x8004010F)
#define MAPI_E_CALL_FAILED E_FAIL
#define MAPI_W_ERRORS_RETURNED ((HRESULT)0x00040380)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#define MAPI_UNICODE 0x80000000u
#define MDB_NO_DIALOG 0x00000001u
#define MAPI_BEST_ACCESS 0x00000010u
#define MAPI_MODIFY 0x00000001u
#define MAPI_DEFERRED_ERRORS 0x00000008u
#define fnevObjectCreated 0x00000004u
#define MAPI_FOLDER 3u
#define MAPI_MESSAGE 5u

#define PT_ERROR 0x000Au
#define PT_UNICODE 0x001Fu
#define PT_BINARY 0x0102u
#define PROP_TYPE(tag) ((ULONG)(tag)&0xFFFFu)
#define PROP_ID(tag) (((ULONG)(tag)) >> 16)
#define PROP_TAG(type, id) ((((ULONG)(id)) << 16) | ((ULONG)(type)))
#define PR_ENTRYID PROP_TAG(PT_BINARY, 0x0FFF)
#define PR_DISPLAY_NAME_W PROP_TAG(PT_UNICODE, 0x3001)

struct GUID
{
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID IID;
typedef const IID& REFIID;
typedef IID* LPIID;

struct ENTRYID
{
    BYTE abFlags[4];
    BYTE ab[1];
};
typedef ENTRYID* LPENTRYID;

struct SBinary
{
    ULONG cb;
    LPBYTE lpb;
};

struct SPropValue
{
    ULONG ulPropTag;
    ULONG dwAlignPad;
    union {
        LONG l;
        LONG err;
        LPWSTR lpszW;
        SBinary bin;
    } Value;
};
typedef SPropValue* LPSPropValue;

struct SPropTagArray
{
    ULONG cValues;
    ULONG aulPropTag[1];
};
typedef SPropTagArray* LPSPropTagArray;

// A tag array of n tags on the stack.
#define SizedSPropTagArray(n, name)                                                                \
    struct _SPropTagArray_##name                                                                   \
    {                                                                                              \
        ULONG cValues;                                                                             \
        ULONG aulPropTag[n];                                                                       \
    } name

struct SRow
{
    ULONG ulAdrEntryPad;
    ULONG cValues;
    LPSPropValue lpProps;
};

struct SRowSet
{
    ULONG cRows;
    SRow aRow[1];
};
typedef SRowSet* LPSRowSet;

struct OBJECT_NOTIFICATION
{
    ULONG cbEntryID;
    LPENTRYID lpEntryID;
    ULONG ulObjType;
    ULONG cbParentID;
    LPENTRYID lpParentID;
    ULONG cbOldID;
    LPENTRYID lpOldID;
    ULONG cbOldParentID;
    LPENTRYID lpOldParentID;
    LPSPropTagArray lpPropTagArray;
};

struct NOTIFICATION
{
    ULONG ulEventType;
    ULONG ulAlignPad;
    union {
        OBJECT_NOTIFICATION obj;
    } info;
};
typedef NOTIFICATION* LPNOTIFICATION;

class IUnknown
{
  public:
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    virtual ~IUnknown() = default;
};

class IMAPIAdviseSink : public IUnknown
{
  public:
    virtual ULONG OnNotify(ULONG count, LPNOTIFICATION notifications) = 0;
};

class IMAPITable : public IUnknown
{
  public:
    virtual HRESULT SetColumns(LPSPropTagArray columns, ULONG flags) = 0;
    virtual HRESULT QueryRows(LONG rowCount, ULONG flags, LPSRowSet* rows) = 0;
};

class IMAPIProp : public IUnknown
{
  public:
    virtual HRESULT GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count,
                             LPSPropValue* values) = 0;
};

class IMAPIFolder : public IMAPIProp
{
};

class IMsgStore : public IMAPIProp
{
  public:
    virtual HRESULT Advise(ULONG cbEntryID, LPENTRYID entryId, ULONG eventMask,
                           IMAPIAdviseSink* sink, ULONG* connection) = 0;
    virtual HRESULT Unadvise(ULONG connection) = 0;
    virtual HRESULT OpenEntry(ULONG cbEntryID, LPENTRYID entryId, LPIID iid, ULONG flags,
                              ULONG* objectType, IUnknown** object) = 0;
};

class IMAPISession : public IUnknown
{
  public:
    virtual HRESULT GetMsgStoresTable(ULONG flags, IMAPITable** table) = 0;
    virtual HRESULT OpenMsgStore(ULONG_PTR uiParam, ULONG cbEntryID, LPENTRYID entryId, LPIID iid,
                                 ULONG flags, IMsgStore** store) = 0;
};

HRESULT MAPIInitialize(LPVOID init);
void MAPIUninitialize();
HRESULT MAPILogonEx(ULONG_PTR uiParam, LPCWSTR profile, LPCWSTR password, ULONG flags,
                    IMAPISession** session);
HRESULT MAPIAllocateBuffer(ULONG size, LPVOID* buffer);
// Frees a buffer from MAPIAllocateBuffer (or from a call that returns one); null is ignored.
ULONG MAPIFreeBuffer(LPVOID buffer);
// Frees a row set together with the property block of every row.
void FreeProws(LPSRowSet rows);
