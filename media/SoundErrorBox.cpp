#include "media/SoundErrorBox.h"

#include <cstdio>
#include <string>

namespace halcyra {
namespace {

struct CodeName {
  std::uint32_t code;
  const char* name;
};

// 未定義のエラー
constexpr char kUndefinedError[] = "\x96\xa2\x92\xe8\x8b\x60\x82\xcc\x83\x47\x83\x89\x81\x5b";

constexpr CodeName kMMSystemNames[] = {
    {256, "MMIOERR_BASE"},         {257, "MMIOERR_FILENOTFOUND"},
    {258, "MMIOERR_OUTOFMEMORY"},  {259, "MMIOERR_CANNOTOPEN"},
    {260, "MMIOERR_CANNOTCLOSE"},  {261, "MMIOERR_CANNOTREAD"},
    {262, "MMIOERR_CANNOTWRITE"},  {263, "MMIOERR_CANNOTSEEK"},
    {264, "MMIOERR_CANNOTEXPAND"}, {265, "MMIOERR_CHUNKNOTFOUND"},
    {266, "MMIOERR_UNBUFFERED"},   {267, "MMIOERR_PATHNOTFOUND"},
    {268, "MMIOERR_ACCESSDENIED"}, {269, "MMIOERR_SHARINGVIOLATION"},
    {270, "MMIOERR_NETWORKERROR"}, {271, "MMIOERR_TOOMANYOPENFILES"},
    {272, "MMIOERR_INVALIDFILE"},  {512, "ACMERR_NOTPOSSIBLE"},
    {513, "ACMERR_BUSY"},          {514, "ACMERR_UNPREPARED"},
    {515, "ACMERR_CANCELED"},
};

constexpr CodeName kDirectSoundNames[] = {
    {0x80004001, "DSERR_UNSUPPORTED"},     {0x80004002, "DSERR_NOINTERFACE"},
    {0x80004005, "DSERR_GENERIC"},         {0x80040110, "DSERR_NOAGGREGATION"},
    {0x80070005, "DSERR_ACCESSDENIED"},    {0x8007000E, "DSERR_OUTOFMEMORY"},
    {0x80070057, "DSERR_INVALIDPARAM"},    {0x8878000A, "DSERR_ALLOCATED"},
    {0x8878001E, "DSERR_CONTROLUNAVAIL"},  {0x88780032, "DSERR_INVALIDCALL"},
    {0x88780046, "DSERR_PRIOLEVELNEEDED"}, {0x88780064, "DSERR_BADFORMAT"},
    {0x88780078, "DSERR_NODRIVER"},        {0x88780082, "DSERR_ALREADYINITIALIZED"},
    {0x88780096, "DSERR_BUFFERLOST"},      {0x887800A0, "DSERR_OTHERAPPHASPRIO"},
    {0x887800AA, "DSERR_UNINITIALIZED"},
};

template <std::size_t N>
const char* NameOf(const CodeName (&table)[N], std::uint32_t code) {
  for (const CodeName& entry : table) {
    if (entry.code == code) return entry.name;
  }
  return kUndefinedError;
}

MessageBoxRequest MakeBox(const char* source, int step, const char* name, std::uint32_t code,
                          const char* caption, bool ownedByWindow) {
  char codeText[16];
  std::snprintf(codeText, sizeof codeText, "0x%08X", static_cast<unsigned>(code));
  MessageBoxRequest box;
  box.text = std::string(source) + " (" + std::to_string(step) + ")\n" + name + " : " + codeText;
  box.caption = caption;
  box.buttons = MessageBoxButtons::kOk;
  box.icon = MessageBoxIcon::kNone;
  box.ownedByWindow = ownedByWindow;
  return box;
}

}  // namespace

MessageBoxRequest SoundErrorBox::MMSystem(int step, std::uint32_t code) {
  return MakeBox("MMSystem", step, MMSystemCodeName(code), code, "MMSystem Error", false);
}

MessageBoxRequest SoundErrorBox::DirectSound(int step, std::uint32_t code) {
  return MakeBox("DSOUND", step, DirectSoundCodeName(code), code, "DirectSound Error", true);
}

const char* SoundErrorBox::MMSystemCodeName(std::uint32_t code) {
  return NameOf(kMMSystemNames, code);
}

const char* SoundErrorBox::DirectSoundCodeName(std::uint32_t code) {
  return NameOf(kDirectSoundNames, code);
}

}  // namespace halcyra
