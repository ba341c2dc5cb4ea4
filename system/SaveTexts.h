// Reports and notices of the save code, as Shift-JIS bytes (the readable text is beside each).
#pragma once

namespace halcyra::save_texts {

inline constexpr char kSource[] = "SCRIPT";
inline constexpr char kCannotSave[] =  // セーブできませんでした
    "\x83Z\x81[\x83u\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd";
inline constexpr char kNoSaveData[] =  // セーブデータがありません
    "\x83Z\x81[\x83u\x83""f\x81[\x83^\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
inline constexpr char kDamaged[] =  // セーブデータが壊れています
    "\x83Z\x81[\x83u\x83""f\x81[\x83^\x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7";
inline constexpr char kWrongVersion[] =  // セーブデータのバージョンが違います
    "\x83Z\x81[\x83u\x83""f\x81[\x83^\x82\xcc\x83o\x81[\x83W\x83\x87\x83\x93\x82\xaa\x88\xe1\x82"
    "\xa2\x82\xdc\x82\xb7";
inline constexpr char kQuickSaved[] =  // ［クイックセーブしました］
    "\x81m\x83N\x83""C\x83""b\x83N\x83Z\x81[\x83u\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81n";

// The fixed numbers that tell the reports apart.
inline constexpr int kCannotSaveNumber = 8608;
inline constexpr int kNoSaveDataNumber = 8647;
inline constexpr int kDamagedNumber = 8661;
inline constexpr int kWrongVersionNumber = 8666;
inline constexpr int kSystemDataWriteNumber = 10296;
inline constexpr int kSystemDataReadNumber = 155;

}  // namespace halcyra::save_texts
