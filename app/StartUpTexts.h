// Texts the main window shows at start-up and when closing, as Shift-JIS bytes (the readable
// text is beside each one).
#pragma once

namespace halcyra::texts {

inline constexpr char kGameTitle[] = "Merrowdale";
inline constexpr char kSoftwareSuffix[] = " GDI";
inline constexpr char kErrorCaption[] = "ver 3.03";
// フォルダが変更できません
inline constexpr char kCannotChangeFolder[] =
    "\x83t\x83H\x83\x8b\x83_\x82\xaa\x95\xcf\x8dX\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";
// データファイルが読めません + line feed; the archive's name follows
inline constexpr char kCannotReadData[] =
    "\x83""f\x81[\x83^\x83t\x83@\x83""C\x83\x8b\x82\xaa\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1\n";
// シナリオが初期化できません
inline constexpr char kCannotStartScenario[] =
    "\x83V\x83i\x83\x8a\x83I\x82\xaa\x8f\x89\x8a\xfa\x89\xbb\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";
// デスクトップを  (then "800", " × ", "600", " ", and ハイカラー以上にして下さい)
inline constexpr char kDesktopPrefix[] = "\x83""f\x83X\x83N\x83g\x83""b\x83v\x82\xf0 ";
inline constexpr char kTimes[] = " \x81~ ";  //  ×
inline constexpr char kHighColour[] =
    "\x83n\x83""C\x83J\x83\x89\x81[\x88\xc8\x8f\xe3\x82\xc9\x82\xb5\x82\xc4\x89\xba\x82\xb3\x82\xa2";
// 本当に終了してもよろしいですか？
//  行目が読めません (after a file name and a line number)
inline constexpr char kUnreadableLine[] =
    " \x8ds\x96\xda\x82\xaa\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1";
inline constexpr char kQuitQuestion[] =
    "\x96{\x93\x96\x82\xc9\x8fI\x97\xb9\x82\xb5\x82\xc4\x82\xe0\x82\xe6\x82\xeb\x82\xb5\x82\xa2"
    "\x82\xc5\x82\xb7\x82\xa9\x81H";
inline constexpr char kQuitCaption[] = "\x8am\x94""F";  // 確認

}  // namespace halcyra::texts
