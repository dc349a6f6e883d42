<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en_US">
<context>
    <name>CompressSettingWidget</name>
    <message>
        <source>Compress Setting</source>
        <translation>圧縮設定</translation>
    </message>
    <message>
        <source>Apply to all</source>
        <translation>すべてに適用</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Small File Size</source>
        <translation>ファイルサイズ：小</translation>
    </message>
    <message>
        <source>High compression, low quality.</source>
        <translation>高圧縮・低画質</translation>
    </message>
    <message>
        <source>Medium File Size</source>
        <translation>ファイルサイズ：中</translation>
    </message>
    <message>
        <source>Medium compression, medium quality.</source>
        <translation>中圧縮・中画質</translation>
    </message>
    <message>
        <source>Large File Size</source>
        <translation>ファイルサイズ：大</translation>
    </message>
    <message>
        <source>Low compression, high quality.</source>
        <translation>低圧縮・高画質</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>カスタム</translation>
    </message>
    <message>
        <source>Small Size</source>
        <translation>小</translation>
    </message>
    <message>
        <source>Large Size</source>
        <translation>大</translation>
    </message>
</context>
<context>
    <name>CustomWindowFrame</name>
    <message>
        <source>Product FAQ</source>
        <translation>よくある質問</translation>
    </message>
    <message>
        <source>Feedback and Support</source>
        <translation>フィードバックとサポート</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>アップデートの確認</translation>
    </message>
    <message>
        <source>About</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>言語</translation>
    </message>
    <message>
        <source>Show Log in Explorer</source>
        <translation>ログを表示</translation>
    </message>
</context>
<context>
    <name>EnterPassword</name>
    <message>
        <source>Password</source>
        <translation>パスワード</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Print password</source>
        <translation>印刷用パスワード</translation>
    </message>
    <message>
        <source>Incorrect Password</source>
        <translation>パスワードが正しくありません</translation>
    </message>
    <message>
        <source>Open password</source>
        <translation>文書を開くパスワード</translation>
    </message>
</context>
<context>
    <name>FileItemWidget</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>size</source>
        <translation>サイズ</translation>
    </message>
    <message>
        <source>pages</source>
        <translation>ページ</translation>
    </message>
    <message>
        <source>%1 Pages</source>
        <translation>%1 ページ</translation>
    </message>
</context>
<context>
    <name>GLanguage</name>
    <message>
        <source>Error network, please check your connection!</source>
        <translation>インターネットに接続されていません。ネットワークの接続をご確認ください！</translation>
    </message>
    <message>
        <source>The program gets crashed.</source>
        <translation>このプログラムに問題が発生しました。</translation>
    </message>
    <message>
        <source>Please send the crash report to the developer. (%1)</source>
        <translation>エラー情報を開発者にご報告ください。(%1)</translation>
    </message>
    <message>
        <source>is currently the newest version available.</source>
        <translation>は現在利用可能な最新のバージョンです。</translation>
    </message>
    <message>
        <source>Requests are too frequent, please try again later.</source>
        <translation>リクエストが多すぎます。しばらくしてからもう一度お試しください。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Tamrik Title</source>
        <translation></translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>To get started, please drag and drop files here or add them by clicking + button.</source>
        <translation>ファイルをここにドロップするか、
＋ボタンをクリックして追加してください。</translation>
    </message>
    <message>
        <source>Output Folder</source>
        <translation>出力フォルダー</translation>
    </message>
    <message>
        <source>Compress</source>
        <translation>圧縮</translation>
    </message>
    <message>
        <source>Select Files</source>
        <translation>ファイルの選択</translation>
    </message>
    <message>
        <source>Select output folder</source>
        <translation>出力フォルダーの選択</translation>
    </message>
</context>
<context>
    <name>MultiLanguage</name>
    <message>
        <source>Language</source>
        <translation>言語</translation>
    </message>
</context>
<context>
    <name>QAbout</name>
    <message>
        <source>About</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>More Info</source>
        <translation>詳細情報</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>バージョン %1</translation>
    </message>
    <message>
        <source>Copyright %1 %2 Tamrik. All rights reserved.</source>
        <translation>Copyright %1 %2 Tamrik. All rights reserved.</translation>
    </message>
</context>
<context>
    <name>QNetWorkProcess</name>
    <message>
        <source>Software Update</source>
        <translation>ソフトウェアの更新</translation>
    </message>
    <message>
        <source>Attention</source>
        <translation>注意</translation>
    </message>
    <message>
        <source>A new version of %1 is available! <byte value="xd"/>
%1 %2 is now available---you have %3. Would you like to download it now?</source>
        <translation>%1 の新しいバージョンが利用可能です。<byte value="xd"/>
%1 %2 が公開されています（現在のバージョン: %3）。今すぐダウンロードしますか？</translation>
    </message>
</context>
</TS>
