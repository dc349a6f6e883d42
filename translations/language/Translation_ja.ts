<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en_US">
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
    <name>MultiLanguage</name>
    <message>
        <source>Language</source>
        <translation>言語</translation>
    </message>
</context>
</TS>
