<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_PT" sourcelanguage="en_US">
<context>
    <name>GLanguage</name>
    <message>
        <source>Error network, please check your connection!</source>
        <translation>Erro de rede, por favor verifique a sua ligação!</translation>
    </message>
    <message>
        <source>The program gets crashed.</source>
        <translation>O programa falhou.</translation>
    </message>
    <message>
        <source>Please send the crash report to the developer. (%1)</source>
        <translation>Por favor, envie o relatório do acidente para o promotor.(%1)</translation>
    </message>
    <message>
        <source>is currently the newest version available.</source>
        <translation>é a última versão disponível.</translation>
    </message>
    <message>
        <source>Requests are too frequent, please try again later.</source>
        <translation>As solicitações são muito freqüentes, por favor tente novamente mais tarde.</translation>
    </message>
</context>
<context>
    <name>MultiLanguage</name>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
</context>
</TS>
