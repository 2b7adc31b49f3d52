// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/completion.h"
#include "orvane/version.h"
#include "shell/platform.h"

namespace orvane::cli {
namespace {

constexpr const char* kProgram = "orvane-cli";

}  // namespace

std::ostream& Io::diagnostic(const std::string& file) const {
  err << kProgram << ": " << command << ": ";
  if (!file.empty()) err << file << ": ";
  return err;
}

namespace {

// Counts what passes through to another stream, so that a failure that
// printed nothing can still be told.
class CountingBuffer : public std::streambuf {
 public:
  explicit CountingBuffer(std::streambuf* to) : to_(to) {}
  std::size_t count() const { return count_; }

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    ++count_;
    return to_->sputc(static_cast<char>(c));
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    count_ += static_cast<std::size_t>(n);
    return to_->sputn(s, n);
  }
  int sync() override { return to_->pubsync(); }

 private:
  std::streambuf* to_;
  std::size_t count_ = 0;
};

std::string oneLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

// The overview below the main help: every usage form, then what the exit
// status and standard error mean.
std::string overview(const std::vector<Command>& commands) {
  std::string text = "Commands at a glance:\n";
  for (const Command& command : commands)
    for (const std::string& form : command.synopsis) text += "  " + std::string(kProgram) + " " + form + "\n";
  text +=
      "\n"
      "Run 'orvane-cli COMMAND --help' for a command's arguments and examples.\n"
      "\n"
      "Examples:\n"
      "  orvane-cli scan demo.3mm\n"
      "  orvane-cli replace demo.3mm 3 sunset.bmp\n"
      "  orvane-cli export demo.3mm --all previews/\n"
      "\n"
      "Standard output carries the results: scan's list, history, the names of the\n"
      "files written, the outcome of a write. Standard error carries the activity\n"
      "log (-q leaves it out) and every diagnostic, one line each:\n"
      "  orvane-cli: COMMAND: FILE: reason\n"
      "A file argument \"-\" is standard output (or, for a picture, standard input).\n"
      "Exit status: 0 done, 1 refused or failed (a failed write to standard output\n"
      "included), 2 wrong usage.";
  return text;
}

// "orvane-cli help [COMMAND]" is read as "orvane-cli [COMMAND] --help".
std::vector<std::string> arguments(int argc, const char* const* argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args.front() == "help") {
    args.erase(args.begin());
    args.push_back("--help");
  }
  return args;
}

// One line: what is wrong, and where the right help is.
int usageError(const std::string& message, const Command* command, std::ostream& err) {
  const std::string name = command ? command->app->get_name() : std::string();
  err << kProgram << ": " << (command ? name + ": " : std::string()) << oneLine(message) << " (see '" << kProgram
      << (command ? " " + name : std::string()) << " --help')\n";
  return 2;
}

// "scan, replace or export"
std::string commandNames(const std::vector<Command>& commands) {
  std::string names;
  for (std::size_t i = 0; i < commands.size(); ++i)
    names += (i == 0 ? "" : i + 1 == commands.size() ? " or " : ", ") + commands[i].app->get_name();
  return names;
}

const Command* chosen(const std::vector<Command>& commands) {
  for (const Command& command : commands)
    if (command.app->parsed()) return &command;
  return nullptr;
}

// -q and -v, taken before the command or after it.
struct OutputFlags {
  bool quiet = false;
  bool verbose = false;
};

void addOutputFlags(CLI::App& app, OutputFlags& flags) {
  app.add_flag("-q,--quiet", flags.quiet, "Leave out the activity log (diagnostics stay)");
  app.add_flag("-v,--verbose", flags.verbose, "Also let the picture decoder's own warnings through");
}

// What is left of standard output's failure to tell: the system's reason when
// it gave one.
std::string writeFailure() {
  const int code = errno;
  return code != 0 ? std::strerror(code) : "the write failed";
}

}  // namespace

namespace {

// The parser: the program's options, every command's and its help.
struct Parser {
  CLI::App app{"Finds and replaces the scene previews inside movie files (.3mm).", kProgram};
  OutputFlags flags;
  std::vector<Command> commands;

  Parser() {
    app.set_version_flag("-V,--version", std::string(kProgram) + " " + kVersionText, "Show the version and exit");
    app.set_help_flag("-h,--help", "Show this help and exit");
    app.set_help_all_flag("--help-all", "Show the help of every command and exit");
    app.require_subcommand(1);
    app.get_formatter()->column_width(30);
    app.get_formatter()->label("REQUIRED", "");
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    addOutputFlags(app, flags);
    for (const AddCommand add : kCommands) commands.push_back(add(app));
    app.footer(overview(commands));
    for (const Command& command : commands) {
      command.app->group("Commands");
      command.app->set_help_flag("-h,--help", "Show this help and exit");
      addOutputFlags(*command.app, flags);
    }
  }
};

// Parses the arguments. The exit status when that is all there is to do:
// help, the version, a completion script, or a usage error; none when a
// command is to run.
std::optional<int> parse(Parser& parser, std::vector<std::string> args, std::ostream& out, std::ostream& err) {
  // "--completion SHELL": the completion script, from the table just built.
  if (!args.empty() && args.front() == "--completion") {
    const auto script = args.size() == 2 ? completionScript(parser.app, args[1]) : std::nullopt;
    if (!script) return usageError("--completion takes one of bash, zsh or fish", nullptr, err);
    out << *script;
    out.flush();
    return out ? 0 : 1;
  }
  std::reverse(args.begin(), args.end());  // CLI11 takes a vector in reverse order
  try {
    parser.app.parse(args);
  } catch (const CLI::CallForHelp&) {
    out << parser.app.help();
    return 0;
  } catch (const CLI::CallForAllHelp&) {
    out << parser.app.help("", CLI::AppFormatMode::All);
    return 0;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << '\n';
    return 0;
  } catch (const CLI::ParseError& e) {
    const Command* command = chosen(parser.commands);
    if (command) return usageError(e.what(), command, err);
    // Without a command the parser only says one is missing; say what is wrong.
    const auto stray = parser.app.remaining();
    if (stray.empty()) return usageError("no command given (" + commandNames(parser.commands) + ")", nullptr, err);
    const bool option = stray.front().rfind('-', 0) == 0;
    return usageError(std::string(option ? "unknown option \"" : "unknown command \"") + stray.front() + "\"", nullptr,
                      err);
  }
  return std::nullopt;
}

// Runs the command, then makes sure its results arrived and that a failure
// was said.
int runCommand(const Command& command, Io& io, const CountingBuffer& counted) {
  int code = 0;
  try {
    code = command.run(io);
  } catch (const UsageError& e) {
    return usageError(e.what(), &command, io.err);
  }
  // Results that did not arrive are a failure, whatever the command thought.
  // A write that failed on the way left its reason behind; else the last
  // buffered results are flushed now.
  if (io.out) {
    errno = 0;
    io.out.flush();
  }
  if (!io.out) {
    io.err << kProgram << ": cannot write output: " << writeFailure() << '\n';
    return 1;
  }
  // Whatever refused must have said so.
  if (code != 0 && counted.count() == 0) io.diagnostic("") << "did not complete\n";
  return code;
}

}  // namespace

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& rawErr, Console console) {
  CountingBuffer counted(rawErr.rdbuf());
  std::ostream err(&counted);
  Parser parser;
  if (const auto answered = parse(parser, arguments(argc, argv), out, err)) return *answered;
  const Command* command = chosen(parser.commands);
  // The picture decoder's toolkit prints its warnings (a PNG's odd colour
  // profile, say) straight to the terminal unless told not to.
  if (!parser.flags.verbose) setEnvironmentIfUnset("QT_LOGGING_RULES", "*=false");
  Io io{out,       err, command->app->get_name(), parser.flags.quiet, console.outIsTerminal, console.inIsTerminal,
        console.in};
  return runCommand(*command, io, counted);
}

}  // namespace orvane::cli
