// A stand-in for an IDE's main program: one visible top-level window that closes on
// WM_CLOSE, as an IDE's does once its user has nothing left to save. Tests copy it
// into a stand-in IDE's Bin folder (as delphi32.exe) to have that IDE running.
#include <windows.h>

namespace {

LRESULT CALLBACK IdeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA type = {};
  type.lpfnWndProc = IdeWindowProc;
  type.hInstance = instance;
  type.lpszClassName = "TarvelStandinIde";
  if (RegisterClassA(&type) == 0) return 1;
  HWND window = CreateWindowA("TarvelStandinIde", "Stand-in IDE", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                              nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
