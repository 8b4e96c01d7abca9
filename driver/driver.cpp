#include "driver/driver.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "driver/builtin_families.h"
#include "frontend/definitions.h"
#include "diagnostics/diagnostics.h"
#include "frontend/linker.h"
#include "eval/program_run.h"

namespace {

constexpr int kFailureStatus = 1;  // every reported failure; POSIX keeps only 8 bits

void write_to(FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

void report_start_failure(const char* path) {
  write_to(stdout, "Error.\n");
  std::string rest = " Type: Start\n Name: \"" + display_name(path) + "\"\n";
  rest += "Could not read program file.\n\\/\n";
  write_to(stderr, rest);
}

// Shown for "tarn --help": one screen, on stdout, for a user who has not read the manual yet.
constexpr const char kHelp[] =
    "Usage: tarn file arg0 arg1 arg2 ...\n"
    "Runs the program in file; its integer result is the exit status (the shell sees the\n"
    "low 8 bits). arg0 arg1 ... reach the program through its argument-vector address.\n"
    "An error in the program is reported on standard error and exits with status 1.\n"
    "\n"
    "  tarn --help      show this text\n"
    "  tarn --version   show the version\n"
    "\n"
    "A program is its main expression, then definitions, separated by commas:\n"
    "  a\\fact(5),fact\\k\\(k<2)(1,k*fact(k-1))      exits with status 120\n"
    "\n"
    "A file named like an option runs as ./--help. See tarn(1) and docs/guide.md.\n";

// Only "--help" or "--version" as the sole argument is an option; everything else is a path.
bool answer_option(int argc, char** argv) {
  if (argc != 2) return false;
  std::string_view arg = argv[1];
  if (arg == "--help") {
    write_to(stdout, kHelp);
  } else if (arg == "--version") {
    write_to(stdout, "tarn " TARN_VERSION "\n");
  } else {
    return false;
  }
  return true;
}

void report_error(const ErrorRecord& record) {
  // What the program printed comes before its report, also when both streams share a file.
  std::fflush(stdout);
  write_to(stderr, "\x1b[m" + colour_text(format_report(record)));
}

bool is_directory(FILE* f) {
  struct stat st;
  return fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::optional<std::string> read_program_file(const char* path) {
  FILE* f = std::fopen(path, "r");
  if (!f) return std::nullopt;
  if (is_directory(f)) {
    std::fclose(f);
    return std::nullopt;
  }
  std::string text;
  char buffer[4096];
  for (;;) {
    size_t n = std::fread(buffer, 1, 4095, f);
    if (n == 0) break;
    text.append(buffer, n);
  }
  core_assert(std::fclose(f) == 0, 5075);
  return text;
}

int tarn_main(int argc, char** argv) {
  if (argc == 0) assertion_failed("tarn", 57);
  if (argc == 1) {
    write_to(stderr, "Error.\n Type: Usage\nUsage: tarn file arg0 arg1 arg2 ...\n\\/\n");
    return kFailureStatus;
  }
  if (answer_option(argc, argv)) return 0;
  std::optional<std::string> text = read_program_file(argv[1]);
  if (!text) {
    report_start_failure(argv[1]);
    return kFailureStatus;
  }
  install_builtin_families();
  load_prelude();
  for (auto stage : {+[](const std::string& t, char**) { return load_program(t); },
                     +[](const std::string&, char**) { return link_program(); },
                     +[](const std::string&, char** v) { return run_program(v); }}) {
    ErrorRecord record = stage(*text, argv);
    if (!record_ok(record)) {
      report_error(record);
      return kFailureStatus;
    }
  }
  return program_status();
}
