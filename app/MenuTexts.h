// Captions of the menu items and the texts of the menu commands, as Shift-JIS bytes (the
// readable text is beside each one). "&" marks an item's access key.
#pragma once

namespace halcyra::menu_texts {

// タイトル画面に戻る(&T)
inline constexpr char kTitle[] =
    "\x83^\x83""C\x83g\x83\x8b\x89\xe6\x96\xca\x82\xc9\x96\xdf\x82\xe9(&T)";
inline constexpr char kExit[] = "\x8fI\x97\xb9(&X)";  // 終了(&X)
inline constexpr char kExitGame[] = "\x83Q\x81[\x83\x80\x82\xcc\x8fI\x97\xb9(&X)";  // ゲームの終了(&X)
// メニューに戻る(&R)
inline constexpr char kBackToMenu[] =
    "\x83\x81\x83j\x83\x85\x81[\x82\xc9\x96\xdf\x82\xe9(&R)";
inline constexpr char kAutoMode[] = "\x8e\xa9\x93\xae\x8d\xc4\x90\xb6(&A)";  // 自動再生(&A)
inline constexpr char kAutoModeOn[] = "\x8e\xa9\x93\xae\x8d\xc4\x90\xb6\x92\x86(&A)";  // 自動再生中(&A)
inline constexpr char kSkipMode[] = "\x83X\x83L\x83""b\x83v(&S)";  // スキップ(&S)
inline constexpr char kSkipModeOn[] = "\x83X\x83L\x83""b\x83v\x92\x86(&S)";  // スキップ中(&S)
// 次の選択肢へ(&N)
inline constexpr char kNextChoice[] =
    "\x8e\x9f\x82\xcc\x91I\x91\xf0\x8e\x88\x82\xd6(&N)";
// 最後に選択した選択肢へ(&P)
inline constexpr char kPreviousChoice[] =
    "\x8d\xc5\x8c\xe3\x82\xc9\x91I\x91\xf0\x82\xb5\x82\xbd\x91I\x91\xf0\x8e\x88\x82\xd6(&P)";
// クイックロード(&1)
inline constexpr char kQuickLoad[] =
    "\x83N\x83""C\x83""b\x83N\x83\x8d\x81[\x83h(&1)";
inline constexpr char kQuickSave[] = "\x83N\x83""C\x83""b\x83N\x83Z\x81[\x83u(&2)";  // クイックセーブ(&2)
// ウィンドウを隠す(&X)
inline constexpr char kHideWindow[] =
    "\x83""E\x83""B\x83\x93\x83h\x83""E\x82\xf0\x89""B\x82\xb7(&X)";
// ウィンドウを表示する(&X)
inline constexpr char kShowWindow[] =
    "\x83""E\x83""B\x83\x93\x83h\x83""E\x82\xf0\x95\\\x8e\xa6\x82\xb7\x82\xe9(&X)";
// バックログを終了(&X)
inline constexpr char kCloseBacklog[] =
    "\x83o\x83""b\x83N\x83\x8d\x83O\x82\xf0\x8fI\x97\xb9(&X)";
// セーブ・ロードを終了(&X)
inline constexpr char kCloseSaveLoad[] =
    "\x83Z\x81[\x83u\x81""E\x83\x8d\x81[\x83h\x82\xf0\x8fI\x97\xb9(&X)";
inline constexpr char kWindowMode[] = "\x83""E\x83""B\x83\x93\x83h\x83""E(&W)";  // ウィンドウ(&W)
inline constexpr char kFullScreen[] = "\x91S\x89\xe6\x96\xca(&0)";  // 全画面(&0)
inline constexpr char kFullScreen32[] = "\x91S\x89\xe6\x96\xca 640x480x32";  // 全画面 640x480x32
// ウィンドウ⇔全画面(&S)
inline constexpr char kSwitchDisplay[] =
    "\x83""E\x83""B\x83\x93\x83h\x83""E\x81\xcc\x91S\x89\xe6\x96\xca(&S)";
// 標準のフォント(&N)
inline constexpr char kStandardFont[] =
    "\x95W\x8f\x80\x82\xcc\x83t\x83H\x83\x93\x83g(&N)";
// フォントの設定(&F)...
inline constexpr char kChooseFont[] =
    "\x83t\x83H\x83\x93\x83g\x82\xcc\x90\xdd\x92\xe8(&F)...";
inline constexpr char kOptions[] = "\x83I\x83v\x83V\x83\x87\x83\x93(&O)...";  // オプション(&O)...
// キーボード説明(&K)...
inline constexpr char kKeyHelp[] =
    "\x83L\x81[\x83{\x81[\x83h\x90\xe0\x96\xbe(&K)...";
// Quillforge ホームページ(&P)...
inline constexpr char kHomePage[] =
    "Quillforge \x83z\x81[\x83\x80\x83y\x81[\x83W(&P)...";
// ウィンドウを標準の位置へ(&D)
inline constexpr char kWindowToStandardPlace[] =
    "\x83""E\x83""B\x83\x93\x83h\x83""E\x82\xf0\x95W\x8f\x80\x82\xcc\x88\xca\x92u\x82\xd6(&D)";
// ウィンドウの移動(&M)
inline constexpr char kWindowDrag[] =
    "\x83""E\x83""B\x83\x93\x83h\x83""E\x82\xcc\x88\xda\x93\xae(&M)";
inline constexpr char kDragNone[] = "\x95s\x89\xc2(&N)";  // 不可(&N)
inline constexpr char kDragFree[] = "\x8e\xa9\x97R\x88\xda\x93\xae(&F)";  // 自由移動(&F)
inline constexpr char kDragUpDown[] = "\x8f\xe3\x89\xba\x82\xcc\x82\xdd(&U)";  // 上下のみ(&U)
inline constexpr char kCancel[] = "\x83L\x83\x83\x83\x93\x83Z\x83\x8b(&A)";  // キャンセル(&A)
inline constexpr char kDebugMenu[] = "\x83""f\x83o\x83""b\x83O(&D)";  // デバッグ(&D)
inline constexpr char kNowLine[] = "\x8e\xc0\x8ds\x92\x86\x82\xcc\x8ds(&L)...";  // 実行中の行(&L)...
inline constexpr char kDebugCopy[] = "\x8ds\x82\xf0\x83R\x83s\x81[(&C)";  // 行をコピー(&C)
// エディタで開く(&E)
inline constexpr char kEditor[] =
    "\x83G\x83""f\x83""B\x83^\x82\xc5\x8aJ\x82\xad(&E)";
inline constexpr char kFlag[] = "\x83t\x83\x89\x83O(&F)...";  // フラグ(&F)...
// 指定行番号までスキップ(&J)...
inline constexpr char kJump[] =
    "\x8ew\x92\xe8\x8ds\x94\xd4\x8d\x86\x82\xdc\x82\xc5\x83X\x83L\x83""b\x83v(&J)...";
// 次のスクリプトまでスキップ(&N)
inline constexpr char kNextScript[] =
    "\x8e\x9f\x82\xcc\x83X\x83N\x83\x8a\x83v\x83g\x82\xdc\x82\xc5\x83X\x83L\x83""b\x83v(&N)";
// おまけＡＬＬオン
inline constexpr char kOmake[] =
    "\x82\xa8\x82\xdc\x82\xaf\x82`\x82k\x82k\x83I\x83\x93";
// 仮データを自動作成する(&M)
inline constexpr char kMakeCg[] =
    "\x89\xbc\x83""f\x81[\x83^\x82\xf0\x8e\xa9\x93\xae\x8d\xec\x90\xac\x82\xb7\x82\xe9(&M)";
inline constexpr char kDebugRoot[] = "\x95\xaa\x8a\xf2\x96\xb3\x8e\x8b(&R)";  // 分岐無視(&R)
// 選択肢を自動で選択
inline constexpr char kDebugSelect[] =
    "\x91I\x91\xf0\x8e\x88\x82\xf0\x8e\xa9\x93\xae\x82\xc5\x91I\x91\xf0";
// タイトル画面に戻りますか？
inline constexpr char kTitleQuestion[] =
    "\x83^\x83""C\x83g\x83\x8b\x89\xe6\x96\xca\x82\xc9\x96\xdf\x82\xe8\x82\xdc\x82\xb7\x82\xa9\x81H";
inline constexpr char kLaunchError[] = "\x8bN\x93\xae\x83G\x83\x89\x81[";  // 起動エラー

}  // namespace halcyra::menu_texts
