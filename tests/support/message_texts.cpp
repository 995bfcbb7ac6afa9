#include "tests/support/message_texts.h"

#include "resource_ids.h"
#include "tests/support/test_paths.h"

namespace testing_support {

namespace {
struct MessageTextEntry {
    int id;
    const char* english;
    const char* japanese;
};

// Keyed by the numbers the string table has always used, not by the IDS_
// names, so that a message renumbered in resource_ids.h is missing here and
// fails the tests.
const MessageTextEntry kTexts[] = {
    {108, "Brixelcast Setup", "かんたん映像箱 セットアップ"},
    {110,
     "You must restart your computer before the new settings will take effect.\n Do you want to restart your computer "
     "now ?",
     "セットアップを完了するために、システムを再起動する必要があります。\n今すぐ、再起動しますか？"},
    {111, "Unknown error occurred during the setup.\n  This setup file might be damaged.",
     "セットアップ中に問題が発生しました。\nこのセットアップファイルは破損している可能性があります。"},
    {112, "Brixelcast requires DirectX 9.0c or later.\nDo you want to set it up now?",
     "「かんたん映像箱」を使用するためにはDirectX 9.0c以上が必要です。\nここでセットアップを行いますか？"},
    {113, "There is not enough free space for the temporary files of the setup.\nSetup is aborted.",
     "セットアップで使用する一時ファイルを作成するために必要な空き領域が不足しています。\nセットアップを中止しました"
     "。"},
    {116, "DirectX 9.0c is not installed.",
     "「かんたん映像箱」を使用するためにはDirectX 9.0c以上がインストールされている必要があります。"},
    {117, "Setup complete.", "セットアップが完了しました。"},
    {118, "Setup is aborted due Brixelcast is working.\n  Please re-setup after the application is closed.",
     "「かんたん映像箱」が動作中のため、セットアップを中止しました。\nアプリケーションを終了させた後に、再度セットアッ"
     "プを実行してください。"},
    {120, "Setup is aborted. ",
     "セットアップは中断されました。\n\n「かんたん映像箱」をご使用いただくためには、再度セットアップを実行し、セットア"
     "ップを完了する必要があります。"},
    {121, "Either this setup folder is not available or invalid.\n Please specify an existing folder to install.",
     "このセットアップ先は存在しないか、または有効なパス名ではありません。\n有効なセットアップ先を再度、選択してくださ"
     "い。"},
    {122,
     "You do not have enough free space on the selected drive to install the software.\n Please choose another drive "
     "or delete files.\n 100MB free space is needed for installation.",
     "セットアップ先に空き領域が不足しています。\n別のドライブを選択するか、空き領域を増やしてください。\n\nセットアッ"
     "プ先に 100MB の空き領域が必要です。"},
    {123, "To do the setup accordingly, an authorized administrator has to be a user.",
     "正常にセットアップを行うためには、Administrator権限のあるユーザーで実行する必要があります。"},
};
} // namespace

std::string MessageText(int id)
{
    for (const MessageTextEntry& entry : kTexts) {
        if (entry.id == id)
            return IsJapaneseUi() ? entry.japanese : entry.english;
    }
    return std::string();
}

std::string FolderDialogCaption()
{
    return IsJapaneseUi() ? "セットアップ先の選択" : "Specify the folder";
}

std::string SetupCaption()
{
    return MessageText(IDS_CAPTION);
}

} // namespace testing_support
