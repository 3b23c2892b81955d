// benchmark.exe: times a full installation (all thirteen components, ten stand-in IDEs)
// through the wizard and its uninstall, beside the baseline that does the same work
// without the installer, and reports medians, ranges, ratios, sizes and peak memory,
// and the time setup.exe's payload check takes over its file.
//
//   benchmark.exe --setup EXE --baseline EXE --timed EXE --timed-uninstaller EXE
//                 --runs N --json FILE [--build LABEL] [--size NAME=FILE ...]
// EXE paths are Windows paths; LABEL names the build timed in the table. Run by
// scripts/benchmark.sh, never by the tests. It prints the table and the breakdowns only.
#include <windows.h>
// windows.h first: these headers build on its types.
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "services/payload.h"
#include "tests/wine/wizard/wizard_session.h"

using namespace driver;

namespace {

constexpr const char* kIdes[] = {"d3", "d4", "d5", "d6", "d7", "d2005", "bcb3", "bcb4", "bcb5", "bcb6"};
constexpr char kBenchRoot[] = "C:\\tvtest\\bench";
constexpr char kHome[] = "C:\\tvtest\\bench\\TarvelLib";

struct Options {
  std::string setup, baseline, timed, timedRemover, json, build;
  int runs = 3;
  std::vector<std::pair<std::string, std::string>> sizes;
};

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

SIZE_T PeakWorkingSet(HANDLE process) {
  PROCESS_MEMORY_COUNTERS m = {};
  m.cb = sizeof m;
  return GetProcessMemoryInfo(process, &m, sizeof m) ? m.PeakWorkingSetSize : 0;
}

// A clean machine with the ten stand-in IDEs, as before every measured run. The kit's
// report of each IDE it made goes nowhere: the benchmark prints its figures only.
bool Prepare() {
  wizard::CleanRegistry();
  wizard::CleanSystem();
  CreateDirectoryA("C:\\tvtest", nullptr);
  CreateDirectoryA(kBenchRoot, nullptr);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE nowhere = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (nowhere != INVALID_HANDLE_VALUE) SetStdHandle(STD_OUTPUT_HANDLE, nowhere);
  bool made = true;
  for (const char* v : kIdes) {
    if (!made) break;
    // The folders of the run before may still be held for a moment: try again.
    made = false;
    for (int attempt = 0; attempt < 3 && !made; ++attempt) {
      made = wizard::MakeIde(v, std::string(kBenchRoot) + "\\ide\\" + v);
      if (!made) Sleep(200);
    }
    if (!made) std::fprintf(stderr, "idekit %s failed\n", v);
  }
  SetStdHandle(STD_OUTPUT_HANDLE, out);
  if (nowhere != INVALID_HANDLE_VALUE) CloseHandle(nowhere);
  return made;
}

struct InstallRun {
  double seconds = 0;
  long steps = 0;
  SIZE_T peak = 0;
};

// From the Next press on the component page until Finish is enabled, which the
// finish page does only after the log file has been written.
bool RunInstaller(const std::string& exe, InstallRun* out, const std::string& options = std::string()) {
  wizard::Session s;
  if (!Start("\"" + exe + "\"" + options, &s.program)) return false;
  s.dialog = WaitForWindow(s.program.pid, "#32770", "Tarvel Lib Installation");
  if (s.dialog == nullptr || !wizard::WaitStep(s, 1)) {
    wizard::End(s);
    return false;
  }
  bool ok = wizard::Next(s);
  if (ok) {
    SetItemText(s.dialog, 120, kHome);
    const LARGE_INTEGER t0 = Now();
    Click(s.dialog, 202);
    ok = wizard::WaitStep(s, 3) && wizard::WaitFinished(s, 600000);
    const LARGE_INTEGER t1 = Now();
    out->seconds = Seconds(t0, t1);
    out->steps = static_cast<long>(SendMessageA(Item(s.dialog, 106), PBM_GETRANGE, FALSE, 0));
    out->peak = PeakWorkingSet(s.program.process);
    ok = ok && FileExists(std::string(kHome) + "\\uninst.qln");
    DWORD code = 1;
    ok = wizard::Finish(s, &code) && ok;
  }
  if (!ok) wizard::End(s);
  return ok;
}

struct RemoveRun {
  double seconds = 0;
  SIZE_T peak = 0;
  size_t records = 0;
};

// The registered uninstall command, from the Uninstall press until "Uninstall is ready !".
// With another program given, that one is started with the registered command's argument.
bool RunUninstaller(RemoveRun* out, const std::string& instead = std::string()) {
  out->records = wizard::ReadLog(std::string(kHome) + "\\uninst.qln").size();
  std::string command;
  if (!RegGetString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel Lib",
                    "UninstallString", &command))
    return false;
  if (!instead.empty()) command = "\"" + instead + "\"" + command.substr(command.find(' '));
  Program remover;
  if (!Start(command, &remover)) return false;
  HWND dialog = WaitForWindow(remover.pid, "#32770", "Uninstall - Quillon");
  bool ok = dialog != nullptr && WaitUntil([&] { return IsEnabled(dialog, 202); });
  if (ok) {
    const LARGE_INTEGER t0 = Now();
    Click(dialog, 202);
    ok = WaitUntil([&] { return ItemText(dialog, 103) == "Uninstall is ready !"; }, 600000);
    out->seconds = Seconds(t0, Now());
    out->peak = PeakWorkingSet(remover.process);
    Click(dialog, 203);
    DWORD code = 1;
    ok = WaitExit(remover, 10000, &code) && ok;
  }
  if (!ok) Kill(remover);
  // Not a failure: the stand-in builds leave files the log does not name, which stay.
  return ok;
}

struct BaselineRun {
  double install = 0, remove = 0;
  long operations = 0, processes = 0;
  unsigned long long peak = 0;
};

bool RunBaseline(const std::string& exe, BaselineRun* out) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string result = std::string(temp) + "tarvel_baseline.txt";
  DeleteFileA(result.c_str());
  Program p;
  if (!Start("\"" + exe + "\" \"" + kHome + "\" \"" + result + "\"", &p)) return false;
  DWORD code = 1;
  if (!WaitExit(p, 600000, &code) || code != 0) return false;
  std::string text;
  if (!ReadFileBytes(result, &text)) return false;
  long long installUs = 0, removeUs = 0;
  if (std::sscanf(text.c_str(), "%lld %lld %ld %ld %llu", &installUs, &removeUs, &out->operations,
                  &out->processes, &out->peak) != 5)
    return false;
  out->install = installUs / 1e6;
  out->remove = removeUs / 1e6;
  return true;
}

// The payload check as setup.exe makes it at start-up, over setup.exe freshly mapped
// each time: milliseconds, or a negative figure when the check fails.
std::vector<double> TimePayloadCheck(const std::string& exe, int runs) {
  std::vector<double> ms;
  for (int r = 0; r < runs; ++r) {
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return {-1};
    const LARGE_INTEGER t0 = Now();
    const bool intact = PayloadIntact(module);
    ms.push_back(intact ? Seconds(t0, Now()) * 1000 : -1);
    FreeLibrary(module);
  }
  return ms;
}

struct Stat {
  double median, low, high;
};

Stat Summarise(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  if (v.empty()) return {0, 0, 0};
  const size_t n = v.size();
  const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  return {median, v.front(), v.back()};
}

using TimingRows = std::vector<std::pair<std::string, std::pair<long, double>>>;

// A timing hook's file: one "class count microseconds" line per kind of work.
TimingRows ReadTiming(const std::string& file) {
  TimingRows rows;
  std::string text;
  if (!ReadFileBytes(file, &text)) return rows;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    char name[64];
    long count = 0;
    unsigned long micros = 0;
    if (std::sscanf(line.c_str(), "%63s %ld %lu", name, &count, &micros) == 3) rows.push_back({name, {count, micros / 1e6}});
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return rows;
}

// One installation with the timed setup.exe and its uninstall with the timed
// qlnclear.exe (or the registered one when none is given).
void RunTimed(const Options& o, TimingRows* install, double* installWall, TimingRows* remove, double* removeWall) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string file = std::string(temp) + "tarvel_timing.txt";
  DeleteFileA(file.c_str());
  SetEnvironmentVariableA("TARVEL_TIMING_FILE", file.c_str());
  InstallRun run;
  // With a diagnostic log, so that its writes are timed too (the dialog uninstall has none).
  const bool ok = RunInstaller(o.timed, &run, " /LOG=\"" + std::string(temp) + "tarvel_timing_setup.log\"");
  *installWall = run.seconds;
  if (ok) *install = ReadTiming(file);
  DeleteFileA(file.c_str());
  RemoveRun removal;
  const bool removed = RunUninstaller(&removal, o.timedRemover);  // also leaves the machine clean
  *removeWall = removal.seconds;
  if (removed && !o.timedRemover.empty()) *remove = ReadTiming(file);
  SetEnvironmentVariableA("TARVEL_TIMING_FILE", nullptr);
  DeleteFileA((std::string(temp) + "tarvel_timing_setup.log").c_str());
}

// A part's row ("each:<part>") times one defence inside the kinds of work: it is shown
// per call, apart from the kinds, and not added to them.
bool IsPart(const std::string& name) { return name.compare(0, 5, "each:") == 0; }

void PrintWhere(const char* what, const TimingRows& rows, double wall, const char* rest) {
  if (rows.empty()) return;
  double sum = 0;
  for (const auto& w : rows)
    if (!IsPart(w.first)) sum += w.second.second;
  std::printf("\nwhere the %s time goes (timing build, one run, %.3f s wall):\n", what, wall);
  for (const auto& w : rows)
    if (!IsPart(w.first))
      std::printf("  %-14s %5ld x %9.3f s  %5.1f %%\n", w.first.c_str(), w.second.first, w.second.second,
                  wall > 0 ? 100 * w.second.second / wall : 0);
  std::printf("  %-14s         %9.3f s  %5.1f %%  (%s)\n", "outside", wall - sum,
              wall > 0 ? 100 * (wall - sum) / wall : 0, rest);
  std::printf("  of which each defence, per record:\n");
  for (const auto& w : rows)
    if (IsPart(w.first) && w.second.first > 0)
      std::printf("  %-14s %5ld x %9.1f us = %7.3f s\n", w.first.c_str() + 5, w.second.first,
                  1e6 * w.second.second / w.second.first, w.second.second);
}

void JsonWhere(FILE* j, const char* key, const TimingRows& rows, double wall) {
  std::fprintf(j, "  \"%s\": {\"wall\": %.4f", key, wall);
  for (const auto& w : rows)
    if (!IsPart(w.first)) std::fprintf(j, ", \"%s\": %.4f", w.first.c_str(), w.second.second);
  std::fprintf(j, "},\n");
}

// Microseconds per record of each defence that ran.
void JsonParts(FILE* j, const char* key, const TimingRows& rows) {
  std::fprintf(j, "  \"%s\": {", key);
  const char* comma = "";
  for (const auto& w : rows) {
    if (!IsPart(w.first) || w.second.first == 0) continue;
    std::fprintf(j, "%s\"%s\": {\"records\": %ld, \"us_each\": %.1f}", comma, w.first.c_str() + 5, w.second.first,
                 1e6 * w.second.second / w.second.first);
    comma = ", ";
  }
  std::fprintf(j, "},\n");
}

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d)) return -1;
  return (static_cast<long long>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

bool Parse(int argc, char** argv, Options* o) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string k = argv[i], v = argv[i + 1];
    if (k == "--setup") o->setup = v;
    else if (k == "--baseline") o->baseline = v;
    else if (k == "--timed") o->timed = v;
    else if (k == "--timed-uninstaller") o->timedRemover = v;
    else if (k == "--json") o->json = v;
    else if (k == "--build") o->build = v;
    else if (k == "--runs") o->runs = std::max(1, std::atoi(v.c_str()));
    else if (k == "--size" && v.find('=') != std::string::npos) o->sizes.push_back({v.substr(0, v.find('=')), v.substr(v.find('=') + 1)});
    else return false;
  }
  if (o->build.empty()) o->build = sizeof(void*) == 4 ? "i686" : "x86_64";
  return !o->setup.empty() && !o->baseline.empty() && !o->json.empty();
}

std::string StatJson(const Stat& s) {
  char b[160];
  std::snprintf(b, sizeof b, "{\"median\": %.4f, \"min\": %.4f, \"max\": %.4f}", s.median, s.low, s.high);
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, &o)) {
    std::fprintf(stderr, "usage: benchmark --setup EXE --baseline EXE [--timed EXE] [--timed-uninstaller EXE] --runs N --json FILE [--build LABEL] [--size NAME=FILE]\n");
    return 2;
  }
  std::vector<double> inst, uninst, baseInst, baseRemove, ratioInst, ratioRemove, perStep, perRecord;
  unsigned long long setupPeak = 0, removerPeak = 0;
  unsigned long long basePeak = 0;
  long steps = 0, processes = 0;
  size_t records = 0;
  for (int r = 0; r < o.runs; ++r) {
    InstallRun i;
    RemoveRun u;
    BaselineRun b;
    if (!Prepare() || !RunInstaller(o.setup, &i)) return std::fprintf(stderr, "run %d: installation failed\n", r + 1), 1;
    if (!RunUninstaller(&u)) return std::fprintf(stderr, "run %d: uninstall failed\n", r + 1), 1;
    if (!Prepare() || !RunBaseline(o.baseline, &b)) return std::fprintf(stderr, "run %d: baseline failed\n", r + 1), 1;
    inst.push_back(i.seconds);
    uninst.push_back(u.seconds);
    baseInst.push_back(b.install);
    baseRemove.push_back(b.remove);
    ratioInst.push_back(i.seconds / b.install);
    ratioRemove.push_back(u.seconds / b.remove);
    perStep.push_back(i.seconds * 1000 / i.steps);
    perRecord.push_back(u.seconds * 1000 / u.records);
    // Each run's pair, so that the machine's noise shows beside the medians.
    std::fprintf(stderr, "run %d: install %.3f s / %.3f s, uninstall %.3f s / %.3f s\n", r + 1, i.seconds, b.install,
                 u.seconds, b.remove);
    setupPeak = std::max<unsigned long long>(setupPeak, i.peak);
    removerPeak = std::max<unsigned long long>(removerPeak, u.peak);
    basePeak = std::max(basePeak, b.peak);
    steps = i.steps;
    records = u.records;
    processes = b.processes;
  }
  double timedWall = 0, timedRemoveWall = 0;
  TimingRows where, whereRemove;
  if (!o.timed.empty() && Prepare()) RunTimed(o, &where, &timedWall, &whereRemove, &timedRemoveWall);
  wizard::CleanRegistry();
  wizard::CleanSystem();

  const Stat sI = Summarise(inst), sU = Summarise(uninst), sBI = Summarise(baseInst), sBR = Summarise(baseRemove),
             sRI = Summarise(ratioInst), sRU = Summarise(ratioRemove), sPS = Summarise(perStep),
             sPR = Summarise(perRecord), sPC = Summarise(TimePayloadCheck(o.setup, 10 * o.runs));
  std::printf("\nTarvel Lib benchmark under Wine; programs timed: %s\n%d runs, %ld steps, %zu log records, %ld build-tool runs\n\n",
              o.build.c_str(), o.runs, steps, records, processes);
  std::printf("%-34s %10s %10s %10s\n", "", "median", "min", "max");
  auto row = [](const char* name, const Stat& s, const char* unit) {
    std::printf("%-34s %10.3f %10.3f %10.3f %s\n", name, s.median, s.low, s.high, unit);
  };
  row("install (setup.exe)", sI, "s");
  row("install baseline", sBI, "s");
  row("install ratio (goal <= 1.1)", sRI, "");
  row("install time per step", sPS, "ms");
  row("uninstall (qlnclear.exe)", sU, "s");
  row("uninstall baseline", sBR, "s");
  row("uninstall ratio (goal <= 1.3)", sRU, "");
  row("uninstall time per log record", sPR, "ms");
  row("payload check (goal < 10)", sPC, "ms");
  std::printf("\npeak working set: setup.exe %llu KiB, qlnclear.exe %llu KiB, baseline %llu KiB\n", setupPeak / 1024,
              removerPeak / 1024, basePeak / 1024);
  PrintWhere("installation's", where, timedWall, "page changes, thread start, log write, polling; run with /LOG=");
  PrintWhere("uninstall's", whereRemove, timedRemoveWall, "button press, final texts, polling");
  std::printf("\nsizes:\n");
  for (const auto& s : o.sizes) std::printf("  %-40s %8lld bytes\n", s.first.c_str(), FileSize(s.second));

  FILE* j = std::fopen(o.json.c_str(), "w");
  if (j == nullptr) return 1;
  std::fprintf(j, "{\n  \"build\": \"%s\",\n  \"runs\": %d, \"steps\": %ld, \"log_records\": %zu, \"build_tool_runs\": %ld,\n",
               o.build.c_str(), o.runs, steps,
               records, processes);
  std::fprintf(j, "  \"install_s\": %s,\n  \"install_baseline_s\": %s,\n  \"install_ratio\": %s,\n", StatJson(sI).c_str(),
               StatJson(sBI).c_str(), StatJson(sRI).c_str());
  std::fprintf(j, "  \"install_ms_per_step\": %s,\n", StatJson(sPS).c_str());
  std::fprintf(j, "  \"uninstall_s\": %s,\n  \"uninstall_baseline_s\": %s,\n  \"uninstall_ratio\": %s,\n",
               StatJson(sU).c_str(), StatJson(sBR).c_str(), StatJson(sRU).c_str());
  std::fprintf(j, "  \"uninstall_ms_per_record\": %s,\n", StatJson(sPR).c_str());
  std::fprintf(j, "  \"payload_check_ms\": %s,\n", StatJson(sPC).c_str());
  std::fprintf(j, "  \"peak_working_set_bytes\": {\"setup\": %llu, \"qlnclear\": %llu, \"baseline\": %llu},\n", setupPeak,
               removerPeak, basePeak);
  JsonWhere(j, "time_by_kind_s", where, timedWall);
  JsonWhere(j, "uninstall_time_by_kind_s", whereRemove, timedRemoveWall);
  JsonParts(j, "install_defences", where);
  JsonParts(j, "uninstall_defences", whereRemove);
  std::fprintf(j, "  \"sizes_bytes\": {");
  for (size_t i = 0; i < o.sizes.size(); ++i)
    std::fprintf(j, "%s\"%s\": %lld", i ? ", " : "", o.sizes[i].first.c_str(), FileSize(o.sizes[i].second));
  std::fprintf(j, "}\n}\n");
  std::fclose(j);
  std::printf("\nwritten: %s\n", o.json.c_str());
  return 0;
}
