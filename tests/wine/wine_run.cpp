// wine_run.exe COMMAND_FILE REPORT_FILE [KEY@MS...]: a Windows parent for the Wine tests.
//
// Starts the command line held in COMMAND_FILE exactly as written (Wine's own launcher re-quotes
// arguments, which would change what the engine's command-line reader sees), with this
// process's standard handles, and writes to REPORT_FILE:
//   box<TAB>caption<TAB>text     for each message box the child shows, which is then answered
//                                with its first button (OK, or Yes)
//   exit<TAB>code                the child's whole 32-bit exit code (a Unix status keeps 8 bits)
//   key<TAB>name<TAB>title       a key given to the child's window of that title
// Each KEY@MS (space, return or close; MS milliseconds to wait first) goes in turn to the child's
// one visible and enabled window that is no native message box (a window program's own window,
// or its dialog over the disabled main window); the next key waits until that window has gone or
// is disabled. KEY=TITLE@MS waits for a window whose title begins with TITLE (a window that opens
// only when work has ended). close asks the window to close as its title bar's button does.
// Texts are escaped: backslash, CR and LF as \\, \r and \n.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

std::string WindowText(HWND window) {
  char buffer[8192] = {};
  const int n = GetWindowTextA(window, buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

struct Watch {
  DWORD processId = 0;
  std::set<HWND> answered;
  FILE* report = nullptr;
};

BOOL CALLBACK OnWindow(HWND window, LPARAM param) {
  Watch& watch = *reinterpret_cast<Watch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (owner != watch.processId || std::string(className) != "#32770" || !IsWindowVisible(window) ||
      watch.answered.count(window) != 0)
    return TRUE;
  // The message text is the dialog's static control with the id 0xFFFF.
  const HWND label = GetDlgItem(window, 0xFFFF);
  const std::string text = label != nullptr ? WindowText(label) : std::string();
  std::fprintf(watch.report, "box\t%s\t%s\n", Escape(WindowText(window)).c_str(), Escape(text).c_str());
  std::fflush(watch.report);
  watch.answered.insert(window);
  const int button = GetDlgItem(window, IDOK) != nullptr ? IDOK : IDYES;
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
  return TRUE;
}

struct KeyStep {
  std::string name;
  std::string title;  // the window's title begins with it; any window when empty
  DWORD delay = 0;
};

struct Target {
  DWORD processId = 0;
  HWND window = nullptr;  // the topmost one: a dialog opens over the window it belongs to
};

BOOL CALLBACK OnTarget(HWND window, LPARAM param) {
  Target& target = *reinterpret_cast<Target*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (owner != target.processId || std::string(className) == "#32770" || !IsWindowVisible(window) ||
      !IsWindowEnabled(window))
    return TRUE;
  target.window = window;
  return FALSE;  // windows come topmost first
}

HWND TopWindow(DWORD processId) {
  Target target;
  target.processId = processId;
  EnumWindows(OnTarget, reinterpret_cast<LPARAM>(&target));
  return target.window;
}

void PostKey(HWND window, UINT key) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(window, WM_KEYDOWN, key, 1 | scan);
  PostMessageA(window, WM_KEYUP, key, 1 | scan | (LPARAM{1} << 30) | (LPARAM{1} << 31));
}

std::string ReadAll(const char* path) {
  std::string text;
  FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return text;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: wine_run.exe COMMAND_FILE REPORT_FILE [KEY@MS...]\n");
    return 2;
  }
  std::vector<KeyStep> steps;
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    const std::size_t at = arg.find('@');
    const std::string key = arg.substr(0, at);
    const std::size_t eq = key.find('=');
    steps.push_back({key.substr(0, eq), eq == std::string::npos ? std::string() : key.substr(eq + 1),
                     at == std::string::npos ? 0 : static_cast<DWORD>(std::stoul(arg.substr(at + 1)))});
  }
  std::string command = ReadAll(argv[1]);
  Watch watch;
  watch.report = std::fopen(argv[2], "wb");
  if (command.empty() || watch.report == nullptr) {
    std::fprintf(stderr, "wine_run: cannot read %s or write %s\n", argv[1], argv[2]);
    return 2;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(watch.report, "start-failed\t%lu\n", GetLastError());
    std::fclose(watch.report);
    return 1;
  }
  watch.processId = process.dwProcessId;
  std::size_t step = 0;
  HWND keyed = nullptr;  // the window the last key went to, until another one is on top
  DWORD since = 0;       // when the next key's window was first seen
  DWORD progress = GetTickCount();
  while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
    EnumWindows(OnWindow, reinterpret_cast<LPARAM>(&watch));
    if (step == steps.size()) continue;
    // A window that never answers its key would keep the test waiting for ever.
    if (GetTickCount() - progress > 900000) {
      std::fprintf(watch.report, "stuck\t%s\n", steps[step].name.c_str());
      TerminateProcess(process.hProcess, 1);
      break;
    }
    const HWND top = TopWindow(process.dwProcessId);
    if (top == nullptr || top == keyed || WindowText(top).rfind(steps[step].title, 0) != 0) {
      since = 0;
      continue;
    }
    if (since == 0) since = GetTickCount();
    if (GetTickCount() - since < steps[step].delay) continue;
    const std::string& name = steps[step].name;
    std::fprintf(watch.report, "key\t%s\t%s\n", name.c_str(), Escape(WindowText(top)).c_str());
    std::fflush(watch.report);
    if (name == "close")
      PostMessageA(top, WM_CLOSE, 0, 0);
    else
      PostKey(top, name == "space" ? VK_SPACE : VK_RETURN);
    keyed = top;
    since = 0;
    progress = GetTickCount();
    ++step;
  }
  WaitForSingleObject(process.hProcess, 10000);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::fprintf(watch.report, "exit\t%lu\n", code);
  std::fclose(watch.report);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
