// The removal tool's texts. The tool's target compiles this file with
// -fexec-charset=CP932, so these literals become the Shift-JIS bytes that
// MessageBoxA shows; elsewhere (tests) they stay UTF-8.
#pragma once

#include "purge/purge_logic.h"

namespace purge {

inline const Texts& texts() {
  static const Texts t = {
      "chromaweave 設定情報の削除",
      "起動している chromaweave を終了させてから実行してください。",
      "設定情報はありません。",
      "chromaweave の設定情報を削除してもいいですか?\r\n"
      "(現在 chromaweave を起動している場合は、[OK] を押す前に終了させてください)",
      "レジストリのキーを削除できません。",
      "chromaweave の設定情報を削除しました。\r\n"
      "アンインストールするにはフォルダごと削除してください。",
  };
  return t;
}

}  // namespace purge
