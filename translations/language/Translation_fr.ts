<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en_US">
<context>
    <name>GLanguage</name>
    <message>
        <source>Error network, please check your connection!</source>
        <translation>Erreur de réseau, vérifiez votre connexion !</translation>
    </message>
    <message>
        <source>The program gets crashed.</source>
        <translation>Le programme a cessé de fonctionner.</translation>
    </message>
    <message>
        <source>Please send the crash report to the developer. (%1)</source>
        <translation>Veuillez envoyer le rapport de plantage au développeur. (%1)</translation>
    </message>
    <message>
        <source>is currently the newest version available.</source>
        <translation>est actuellement la plus récente version disponible.</translation>
    </message>
    <message>
        <source>Requests are too frequent, please try again later.</source>
        <translation>Les demandes sont trop fréquentes, veuillez réessayer plus tard.</translation>
    </message>
</context>
<context>
    <name>MultiLanguage</name>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
</context>
</TS>
