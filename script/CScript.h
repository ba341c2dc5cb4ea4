// The engine object: the script interpreter. It loads one scenario script at a time and runs it
// one statement per Tick; every statement consumes its own parameters and runs to completion,
// waiting (with Poll and Present each frame) for time, animations or the player.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "script/ScriptReader.h"

namespace halcyra {

struct Engine;
struct GameState;
class Platform;
class ScriptHost;

class CScript : public ScriptErrorSink {
 public:
  // A statement handler of another part of the engine: consumes its word and parameters through
  // the script's reading operations and returns false to end the run.
  using StatementHandler = bool (*)(CScript& script);

  static constexpr std::size_t kTokenCapacity = 1024;
  static constexpr std::size_t kParameterCapacity = 64;

  CScript(Platform& platform, ScriptHost& host, Engine& engine);

  // Replaces the current script by the one at a game path ("scr\\open.scr"): the loose file
  // first, then the script archive by file name. Reports and returns false when it cannot be
  // read; the engine then holds no script. Registers its voice statements with the read list
  // unless the no-save flag is set.
  bool LoadScript(std::string_view path, bool scenarioMode);

  // Attaches the handler of a statement word whose owner arrives outside the interpreter; false
  // when the word is not a statement word or the interpreter handles it itself.
  bool SetStatementHandler(std::string_view word, StatementHandler handler);
  // Attaches the handler of message lines (a first byte "$" or a double-byte character).
  void SetMessageLineHandler(StatementHandler handler) { messageLineHandler_ = handler; }
  // Attaches the step run before every statement that starts a screen effect or a layer
  // transition (the page-mode dimming gives way to the effect).
  void SetPreEffectStep(void (*step)(CScript& script)) { preEffectStep_ = step; }
  // Attaches the end of fast-forward mode that brings back the scene it did not draw.
  void SetFastForwardStop(void (*stop)(CScript& script)) { fastForwardStop_ = stop; }

  // Runs one statement; false ends this engine object's run.
  bool Tick();

  // The reading protocol of statement handlers: the first token (the word), consuming it, and
  // reading and consuming one parameter (at most capacity - 1 bytes).
  const char* Token() const { return token_; }
  void ConsumeToken();
  void ReadParameter(char* buffer, std::size_t capacity = kParameterCapacity);
  // Copies the next word without consuming it; the blanks and line breaks before it are passed.
  void PeekParameter(char* buffer, std::size_t capacity) { reader_.ReadToken(buffer, capacity); }
  std::int32_t EvaluateParameter();
  Engine& GetEngine() { return engine_; }
  Platform& GetPlatform() { return platform_; }
  // Moves the read position to a byte offset of the script (1 is its start), counting the line
  // number from the start; an offset outside the text goes to the start.
  void SetReadPosition(int position);
  ScriptHost& Host() { return host_; }
  // The main window is closing: every wait stops.
  bool IsClosing() const;
  // The player asked to return to the title: animations stop and leave it to WaitStep.
  bool IsTitleRequested() const;
  // Processes window messages; false when the main window is closing.
  bool Poll();
  // Draws and shows one frame (or, while the window is inactive, sleeps instead).
  bool Present();
  // One frame of a wait; true when the waiting statement must stop at once (closing, or a
  // return to the title was performed).
  bool WaitStep(bool present, bool clearFontChange);
  // The timed wait of `wait` for a time text already read ("1.5" seconds, or an expression in
  // seconds): ends early when cancelled (IsEffectCancelled), a return to the title is requested
  // or the window closes, and takes no time with Effect/WaitCancel on. False when Poll reports
  // closing.
  bool WaitFor(const char* time) { return WaitTime(time, true); }

  // Reports: the script error dialog for the current statement.
  void ScriptError(std::string_view message, std::string_view detail) override;
  void ScriptErrorAt(std::string_view message, std::string_view detail, std::string_view name,
                     int number, std::string_view text);
  bool ParamError(std::string_view detail);
  // A latched click: clears the latches, sets variable C to 1 and ends auto and skip mode; the
  // result says whether a click may cut the running effect short (Effect/ClickCancel).
  bool TakeClick();
  // Asked once per frame by every effect and animation: Ctrl held, a click (taken as by
  // TakeClick; it cancels when clicks cancel effects), skip mode, or auto mode when auto mode
  // cancels effects.
  bool IsEffectCancelled();
  // The play modes; the menu captions follow them when the menus are drawn. Switching one on
  // releases the key-wait icon (sprite 79).
  void SetAutoMode(bool on);
  void SetSkipMode(bool on);

  // Whether a file exists loose or in the archive its extension names; reports a missing file
  // unless quiet.
  bool CheckFile(std::string_view path, bool quiet);

  void RequestRedraw() { redrawRequest_ = true; }
  void SetFastForward(bool on) { fastForward_ = on; }
  bool IsFastForward() const { return fastForward_; }
  bool IsScenarioMode() const { return scenarioMode_; }
  const std::string& ScriptPath() const { return scriptPath_; }
  const ScriptReader& Reader() const { return reader_; }
  int MouseX() const { return mouseX_; }
  int MouseY() const { return mouseY_; }
  // Frames per second in tenths, measured over windows of at least one second.
  int FrameRate() const { return frameRate_; }
  bool EndOfScriptReported() const { return !endReportOn_; }

  // Expands a word that begins with a double-byte character through the define table.
  void ExpandName(std::string& word) const;

 private:
  using Handler = bool (CScript::*)();
  struct StatementWord {
    const char* word;
    Handler handler;  // null: the statement's owner has not arrived yet
  };
  static const StatementWord kStatementWords[];
  static bool IsPreEffectWord(std::string_view word);
  static const std::unordered_map<std::string_view, Handler>& WordTable();

  bool Dispatch();
  bool RunStatementWord(bool& found);
  bool EndOfText();
  void ShowFrameRate();
  bool WalkToNextScript();
  void ReleaseKeyWaitIcon();
  void GiveTextSpritesFonts();
  bool RegisterVoiceStatements();
  GameState& State();

  // Statements of the language itself.
  bool Comment();
  bool BlockEnd();
  bool Condition();
  bool Assign();
  bool Label();
  bool Goto();
  bool Define();
  bool DefineCg();
  bool Random();
  bool ParamCalc();
  bool Break();
  bool IgnoreOneToken();
  bool PassOver();
  bool Undefined();
  // Statements of the dispatcher.
  bool Change();
  bool ChangeKaisou();
  bool ChangeScript(bool replayEnds);
  bool Title();
  bool Wait();
  bool Sleep();
  bool TimedWait(bool cancellable);
  bool WaitTime(const char* time, bool cancellable);
  bool NameCheck();

  // Condition helpers.
  bool ConditionFails(std::string_view message);
  bool ApplyConditionTerm(std::int32_t value, char& comparison, char& logic, std::int32_t& left,
                          std::int32_t& result);
  char SkipToBrace(bool openingOnly);
  bool SkipBlock();
  bool AssignFlag(std::string_view left, std::string_view op, std::int32_t value);
  bool AssignVariable(std::string_view left, std::string_view op, std::int32_t value);
  std::string ExpandAssignmentNames(std::string_view token) const;
  std::uint32_t WaitMilliseconds(const char* parameter);

  Platform& platform_;
  ScriptHost& host_;
  Engine& engine_;
  ScriptReader reader_;
  char token_[kTokenCapacity] = {};
  std::unordered_map<std::string_view, StatementHandler> attachedHandlers_;
  StatementHandler messageLineHandler_ = nullptr;
  void (*preEffectStep_)(CScript& script) = nullptr;
  void (*fastForwardStop_)(CScript& script) = nullptr;
  std::string scriptPath_;
  bool scenarioMode_ = true;
  bool redrawRequest_ = false;
  bool fastForward_ = false;
  bool endReportOn_ = true;
  int mouseX_ = -1;
  int mouseY_ = -1;
  std::uint32_t frameCounter_ = 0;
  std::uint32_t lastRateTime_ = 0;
  int frameRate_ = 0;
};

}  // namespace halcyra
