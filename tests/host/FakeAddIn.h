// The recording add-in fake_addin.dll that the host tests load: its class,
// and its exports beside DllGetClassObject and DllCanUnloadNow.
#pragma once

#include <windows.h>

// {3C8E5A51-7D2B-4F0E-9A61-2B7C4D9E0F13}
#define FAKE_ADDIN_CLSID_TEXT L"{3C8E5A51-7D2B-4F0E-9A61-2B7C4D9E0F13}"
inline constexpr CLSID kFakeAddInClsid = {
    0x3C8E5A51, 0x7D2B, 0x4F0E, {0x9A, 0x61, 0x2B, 0x7C, 0x4D, 0x9E, 0x0F, 0x13}};

// What the fake writes on its bar and button.
inline constexpr wchar_t kFakeBarName[] = L"Quop";
inline constexpr wchar_t kFakeCaption[] = L"Twinsweeps";
inline constexpr wchar_t kFakeTooltip[] = L"Quop Twinsweeps";
inline constexpr wchar_t kFakeTag[] = L"fake-tag";
inline constexpr wchar_t kFakeOnAction[] = L"OnFakeAction";
inline constexpr wchar_t kFakeGetImage[] = L"GetFakeImage";

extern "C" {
// The calls the add-ins of this DLL received, one line each, joined by
// '\n' into buffer (zero-terminated when size > 0); the full length.
typedef ULONG(WINAPI* FAKE_ADDIN_LOG)(char* buffer, ULONG size);
typedef void(WINAPI* FAKE_ADDIN_CLEARLOG)(void);
// Add-in objects and event sinks not yet released.
typedef LONG(WINAPI* FAKE_ADDIN_LIVEOBJECTS)(void);
// The ribbon XML the add-ins give GetCustomUI for every ribbon id; null (the
// start) makes them refuse IRibbonExtensibility. Their IDispatch knows the
// callbacks kFakeOnAction and kFakeGetImage, and logs each call.
typedef void(WINAPI* FAKE_ADDIN_SETRIBBON)(const wchar_t* xml);
}
