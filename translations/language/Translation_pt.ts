<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_PT" sourcelanguage="en_US">
<context>
    <name>CompressSettingWidget</name>
    <message>
        <source>Compress Setting</source>
        <translation>Opções de compressão</translation>
    </message>
    <message>
        <source>Apply to all</source>
        <translation>Aplicar a todos</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Small File Size</source>
        <translation>Tamanho pequeno</translation>
    </message>
    <message>
        <source>High compression, low quality.</source>
        <translation>Compressão alta, qualidade baixa.</translation>
    </message>
    <message>
        <source>Medium File Size</source>
        <translation>Tamanho médio</translation>
    </message>
    <message>
        <source>Medium compression, medium quality.</source>
        <translation>Compressão média, qualidade média.</translation>
    </message>
    <message>
        <source>Large File Size</source>
        <translation>Tamanho grande</translation>
    </message>
    <message>
        <source>Low compression, high quality.</source>
        <translation>Compressão baixa, qualidade alta.</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Personalizado</translation>
    </message>
    <message>
        <source>Small Size</source>
        <translation>Pequeno</translation>
    </message>
    <message>
        <source>Large Size</source>
        <translation>Grande</translation>
    </message>
</context>
<context>
    <name>CustomWindowFrame</name>
    <message>
        <source>Product FAQ</source>
        <translation>Perguntas frequentes</translation>
    </message>
    <message>
        <source>Feedback and Support</source>
        <translation>Comentários e suporte</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Procurar atualizações</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Sobre</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>Show Log in Explorer</source>
        <translation>Mostrar o log</translation>
    </message>
</context>
<context>
    <name>EnterPassword</name>
    <message>
        <source>Password</source>
        <translation>Senha</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Print password</source>
        <translation>Senha de impressão</translation>
    </message>
    <message>
        <source>Incorrect Password</source>
        <translation>Senha incorreta</translation>
    </message>
    <message>
        <source>Open password</source>
        <translation>Senha de abertura</translation>
    </message>
</context>
<context>
    <name>FileItemWidget</name>
    <message>
        <source>Form</source>
        <translation>Formulário</translation>
    </message>
    <message>
        <source>name</source>
        <translation>nome</translation>
    </message>
    <message>
        <source>size</source>
        <translation>tamanho</translation>
    </message>
    <message>
        <source>pages</source>
        <translation>páginas</translation>
    </message>
    <message>
        <source>%1 Pages</source>
        <translation>%1 Páginas</translation>
    </message>
</context>
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
    <name>MainWindow</name>
    <message>
        <source>Tamrik Title</source>
        <translation></translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Adicionar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Remover</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Limpar</translation>
    </message>
    <message>
        <source>To get started, please drag and drop files here or add them by clicking + button.</source>
        <translation>Para começar, arraste os documentos até aqui ou adicione-os com o botão +.</translation>
    </message>
    <message>
        <source>Output Folder</source>
        <translation>Pasta de saída</translation>
    </message>
    <message>
        <source>Compress</source>
        <translation>Comprimir</translation>
    </message>
    <message>
        <source>Select Files</source>
        <translation>Selecionar documentos</translation>
    </message>
    <message>
        <source>Select output folder</source>
        <translation>Selecionar a pasta de saída</translation>
    </message>
</context>
<context>
    <name>MultiLanguage</name>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
</context>
<context>
    <name>QAbout</name>
    <message>
        <source>About</source>
        <translation>Sobre</translation>
    </message>
    <message>
        <source>More Info</source>
        <translation>Saber mais</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Versão %1</translation>
    </message>
    <message>
        <source>Copyright %1 %2 Tamrik. All rights reserved.</source>
        <translation>Copyright %1 %2 Tamrik. Todos os direitos reservados.</translation>
    </message>
</context>
<context>
    <name>QNetWorkProcess</name>
    <message>
        <source>Software Update</source>
        <translation>Atualização do software</translation>
    </message>
    <message>
        <source>Attention</source>
        <translation>Atenção</translation>
    </message>
    <message>
        <source>A new version of %1 is available! <byte value="xd"/>
%1 %2 is now available---you have %3. Would you like to download it now?</source>
        <translation>Está disponível uma nova versão do %1!<byte value="xd"/>
O %1 %2 já está disponível (versão instalada: %3). Deseja transferi-la agora?</translation>
    </message>
</context>
</TS>
