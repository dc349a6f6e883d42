<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="en_US">
<context>
    <name>CompressSettingWidget</name>
    <message>
        <source>Compress Setting</source>
        <translation>Configuración de compresión</translation>
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
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Small File Size</source>
        <translation>Tamaño de archivo pequeño</translation>
    </message>
    <message>
        <source>High compression, low quality.</source>
        <translation>Compresión alta, calidad baja.</translation>
    </message>
    <message>
        <source>Medium File Size</source>
        <translation>Tamaño de archivo mediano</translation>
    </message>
    <message>
        <source>Medium compression, medium quality.</source>
        <translation>Compresión media, calidad media.</translation>
    </message>
    <message>
        <source>Large File Size</source>
        <translation>Tamaño de archivo grande</translation>
    </message>
    <message>
        <source>Low compression, high quality.</source>
        <translation>Compresión baja, calidad alta.</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Personalizado</translation>
    </message>
    <message>
        <source>Small Size</source>
        <translation>Tamaño pequeño</translation>
    </message>
    <message>
        <source>Large Size</source>
        <translation>Tamaño grande</translation>
    </message>
</context>
<context>
    <name>CustomWindowFrame</name>
    <message>
        <source>Product FAQ</source>
        <translation>Preguntas frecuentes</translation>
    </message>
    <message>
        <source>Feedback and Support</source>
        <translation>Comentarios y soporte</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Buscar actualizaciones</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>Show Log in Explorer</source>
        <translation>Mostrar el registro</translation>
    </message>
</context>
<context>
    <name>EnterPassword</name>
    <message>
        <source>Password</source>
        <translation>Contraseña</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Print password</source>
        <translation>Contraseña de impresión</translation>
    </message>
    <message>
        <source>Incorrect Password</source>
        <translation>Contraseña incorrecta</translation>
    </message>
    <message>
        <source>Open password</source>
        <translation>Contraseña de apertura</translation>
    </message>
</context>
<context>
    <name>FileItemWidget</name>
    <message>
        <source>Form</source>
        <translation>Formulario</translation>
    </message>
    <message>
        <source>name</source>
        <translation>nombre</translation>
    </message>
    <message>
        <source>size</source>
        <translation>tamaño</translation>
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
        <translation>Error en la red, ¡verifique su conexión!</translation>
    </message>
    <message>
        <source>The program gets crashed.</source>
        <translation>El programa se ha bloqueado.</translation>
    </message>
    <message>
        <source>Please send the crash report to the developer. (%1)</source>
        <translation>Por favor envíe el informe del error al desarrollador.(%1)</translation>
    </message>
    <message>
        <source>is currently the newest version available.</source>
        <translation>es la última versión disponible.</translation>
    </message>
    <message>
        <source>Requests are too frequent, please try again later.</source>
        <translation>Las solicitudes son demasiado frecuentes, por favor, inténtalo más tarde.</translation>
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
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Quitar</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Vaciar</translation>
    </message>
    <message>
        <source>To get started, please drag and drop files here or add them by clicking + button.</source>
        <translation>Para empezar, arrastre los archivos hasta aquí o añádalos con el botón +.</translation>
    </message>
    <message>
        <source>Output Folder</source>
        <translation>Carpeta de salida</translation>
    </message>
    <message>
        <source>Compress</source>
        <translation>Comprimir</translation>
    </message>
    <message>
        <source>Select Files</source>
        <translation>Seleccionar archivos</translation>
    </message>
    <message>
        <source>Select output folder</source>
        <translation>Seleccionar la carpeta de salida</translation>
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
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>More Info</source>
        <translation>Saber más</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Versión %1</translation>
    </message>
    <message>
        <source>Copyright %1 %2 Tamrik. All rights reserved.</source>
        <translation>Copyright %1 %2 Tamrik. Todos los derechos reservados.</translation>
    </message>
</context>
<context>
    <name>QNetWorkProcess</name>
    <message>
        <source>Software Update</source>
        <translation>Actualización de software</translation>
    </message>
    <message>
        <source>Attention</source>
        <translation>Atención</translation>
    </message>
    <message>
        <source>A new version of %1 is available! <byte value="xd"/>
%1 %2 is now available---you have %3. Would you like to download it now?</source>
        <translation>¡Hay una nueva versión de %1 disponible!<byte value="xd"/>
%1 %2 ya está disponible (su versión es la %3). ¿Desea descargarla ahora?</translation>
    </message>
</context>
</TS>
