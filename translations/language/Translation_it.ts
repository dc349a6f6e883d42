<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en_US">
<context>
    <name>GLanguage</name>
    <message>
        <source>Error network, please check your connection!</source>
        <translation>Errore di rete, controlla la tua connessione!</translation>
    </message>
    <message>
        <source>The program gets crashed.</source>
        <translation>Il programma si è arrestato in modo anomalo.</translation>
    </message>
    <message>
        <source>Please send the crash report to the developer. (%1)</source>
        <translation>Invia il rapporto sull&apos;arresto anomalo allo sviluppatore.(%1)</translation>
    </message>
    <message>
        <source>is currently the newest version available.</source>
        <translation>è al momento la versione più recente disponibile.</translation>
    </message>
    <message>
        <source>Requests are too frequent, please try again later.</source>
        <translation>Richieste troppo frequenti, per favore riprova più tardi.</translation>
    </message>
</context>
<context>
    <name>MultiLanguage</name>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
</context>
</TS>
