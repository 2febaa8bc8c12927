<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="es">
<context>
    <name>qacsemaf</name>
    <message>
        <source>opción desconocida %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>falta el valor de %1</source>
        <translation>missing value after %1</translation>
    </message>
    <message>
        <source>%1 no lleva valor</source>
        <translation>%1 takes no value</translation>
    </message>
    <message>
        <source>Muestra esta ayuda.</source>
        <translation>Shows this help.</translation>
    </message>
    <message>
        <source>Uso: %1 [opciones]</source>
        <translation>Usage: %1 [options]</translation>
    </message>
    <message>
        <source>Opciones:</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>Por omisión: %1.</source>
        <translation>Default: %1.</translation>
    </message>
    <message>
        <source>argumento inesperado &quot;%1&quot;</source>
        <translation>unexpected argument &quot;%1&quot;</translation>
    </message>
    <message>
        <source>falta %1</source>
        <translation>missing %1</translation>
    </message>
    <message>
        <source>%1 no se puede usar con %2</source>
        <translation>%1 cannot be used with %2</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; no es un número entero</source>
        <translation>%1: &quot;%2&quot; is not a whole number</translation>
    </message>
    <message>
        <source>%1: dé un número de %2 en adelante</source>
        <translation>%1: give a number of %2 or more</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; no es uno de %3</source>
        <translation>%1: &quot;%2&quot; is not one of %3</translation>
    </message>
    <message>
        <source>%1: la carpeta %2 no existe</source>
        <translation>%1: the folder %2 does not exist</translation>
    </message>
    <message>
        <source>vea &quot;%1 --help&quot;</source>
        <translation>see &quot;%1 --help&quot;</translation>
    </message>
    <message>
        <source>Uso: qacsemaf &lt;comando&gt; [opciones]</source>
        <translation>Usage: qacsemaf &lt;command&gt; [options]</translation>
    </message>
    <message>
        <source>Comandos:</source>
        <translation>Commands:</translation>
    </message>
    <message>
        <source>Las opciones de un comando: &quot;qacsemaf &lt;comando&gt; --help&quot;.</source>
        <translation>The options of a command: &quot;qacsemaf &lt;command&gt; --help&quot;.</translation>
    </message>
    <message>
        <source>falta el comando</source>
        <translation>missing the command</translation>
    </message>
    <message>
        <source>comando desconocido &quot;%1&quot;</source>
        <translation>unknown command &quot;%1&quot;</translation>
    </message>
    <message>
        <source>dé una sola de --db ARCHIVO, --pg &quot;conninfo&quot; o --server URL</source>
        <translation>give one of --db FILE, --pg &quot;conninfo&quot; or --server URL</translation>
    </message>
    <message>
        <source>--ca-file: el archivo %1 no existe</source>
        <translation>--ca-file: the file %1 does not exist</translation>
    </message>
    <message>
        <source>--db: el archivo %1 no existe</source>
        <translation>--db: the file %1 does not exist</translation>
    </message>
    <message>
        <source>Archivo de la base SQLite.</source>
        <translation>SQLite database file.</translation>
    </message>
    <message>
        <source>archivo</source>
        <translation>file</translation>
    </message>
    <message>
        <source>Base PostgreSQL, en lugar de --db.</source>
        <translation>PostgreSQL database, in place of --db.</translation>
    </message>
    <message>
        <source>qacsemaf-server (host:puerto, http://host:puerto o https://host[:puerto]), en lugar de --db.</source>
        <translation>qacsemaf-server (host:port, http://host:port or https://host[:port]), in place of --db.</translation>
    </message>
    <message>
        <source>Certificados PEM en los que confiar para un servidor https, además de los del sistema (QACSEMAF_CA_FILE).</source>
        <translation>PEM certificates to trust for an https server besides the system&apos;s (QACSEMAF_CA_FILE).</translation>
    </message>
    <message>
        <source>Empresa actual.</source>
        <translation>Current company.</translation>
    </message>
    <message>
        <source>Categorías de requisitos: EF, EN, EP, CO.</source>
        <translation>Requirement categories: EF, EN, EP, CO.</translation>
    </message>
    <message>
        <source>lista</source>
        <translation>list</translation>
    </message>
    <message>
        <source>Usuario de la aplicación.</source>
        <translation>Application user.</translation>
    </message>
    <message>
        <source>usuario</source>
        <translation>user</translation>
    </message>
    <message>
        <source>Contraseña del usuario.</source>
        <translation>The user&apos;s password.</translation>
    </message>
    <message>
        <source>contraseña</source>
        <translation>password</translation>
    </message>
    <message>
        <source>--categories: categoría desconocida &quot;%1&quot; (use EF, EN, EP, CO)</source>
        <translation>--categories: unknown category &quot;%1&quot; (use EF, EN, EP, CO)</translation>
    </message>
    <message>
        <source>--%1: &quot;%2&quot; no es CÓDIGO@EMPRESA</source>
        <translation>--%1: &quot;%2&quot; is not CODE@COMPANY</translation>
    </message>
    <message>
        <source>Cargo al que se aspira.</source>
        <translation>Target position.</translation>
    </message>
    <message>
        <source>código@empresa</source>
        <translation>code@company</translation>
    </message>
    <message>
        <source>Cargos de los candidatos, en orden.</source>
        <translation>Candidate positions, in order.</translation>
    </message>
    <message>
        <source>código@empresa,...</source>
        <translation>code@company,...</translation>
    </message>
    <message>
        <source>Educación sin puntos: auto (la marca de la empresa), on, off.</source>
        <translation>Education without points: auto (the company&apos;s flag), on, off.</translation>
    </message>
    <message>
        <source>modo</source>
        <translation>mode</translation>
    </message>
    <message>
        <source>Salida: table, json, csv o xlsx (con --out).</source>
        <translation>Output: table, json, csv or xlsx (with --out).</translation>
    </message>
    <message>
        <source>formato</source>
        <translation>format</translation>
    </message>
    <message>
        <source>Escribe la salida en este archivo en lugar de la salida estándar.</source>
        <translation>Writes the output to this file instead of standard output.</translation>
    </message>
    <message>
        <source>Separador de campos del CSV (un carácter); por omisión &quot;;&quot; donde el idioma escribe los decimales con coma, &quot;,&quot; en los demás.</source>
        <translation>Field separator of the CSV (one character); by default &quot;;&quot; where the locale writes decimals with a comma, &quot;,&quot; elsewhere.</translation>
    </message>
    <message>
        <source>carácter</source>
        <translation>char</translation>
    </message>
    <message>
        <source>--format xlsx necesita --out ARCHIVO</source>
        <translation>--format xlsx needs --out FILE</translation>
    </message>
    <message>
        <source>--out: dé un nombre de archivo</source>
        <translation>--out: give a file name</translation>
    </message>
    <message>
        <source>--csv-separator va con --format csv</source>
        <translation>--csv-separator goes with --format csv</translation>
    </message>
    <message>
        <source>--csv-separator: dé un carácter que no sea comillas ni salto de línea, no &quot;%1&quot;</source>
        <translation>--csv-separator: give one character other than a quote or a line break, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>No existen los cargos %1.</source>
        <translation>The positions %1 do not exist.</translation>
    </message>
    <message>
        <source>No se pudo escribir %1</source>
        <translation>Could not write %1</translation>
    </message>
    <message>
        <source>No se pudo escribir %1: %2</source>
        <translation>Could not write %1: %2</translation>
    </message>
    <message>
        <source>Genera el semáforo de un cargo al que se aspira sobre los empleados de los cargos candidatos, o sobre un nodo de un plan de carrera (--plan, --node) en la ventana principal, e imprime el resultado.</source>
        <translation>Runs the traffic-light generation for a target position against the holders of the candidate positions, or on a node of a career plan (--plan, --node) in the main form, and prints the result.</translation>
    </message>
    <message>
        <source>--plan y --node van por la ventana principal, que este programa no abre</source>
        <translation>--plan and --node go through the main form, which this program does not open</translation>
    </message>
    <message>
        <source>Plan de carrera.</source>
        <translation>Career plan.</translation>
    </message>
    <message>
        <source>Nodo del plan que se selecciona en el árbol de la ventana.</source>
        <translation>Node of the plan whose tree node is selected in the window.</translation>
    </message>
    <message>
        <source>Escribe el reporte en este archivo PDF.</source>
        <translation>Writes the report to this PDF file.</translation>
    </message>
    <message>
        <source>Escribe el reporte en este libro XLSX.</source>
        <translation>Writes the report to this XLSX workbook.</translation>
    </message>
    <message>
        <source>Escribe el reporte en este documento DOCX.</source>
        <translation>Writes the report to this DOCX document.</translation>
    </message>
    <message>
        <source>Empleado (COD_EMPL) del resultado que se reporta; por omisión el primero.</source>
        <translation>Employee (COD_EMPL) of the result to report; the first one by default.</translation>
    </message>
    <message>
        <source>Imprime las filas de requisitos del reporte (csv o json) en lugar de escribir un archivo; no abre ventanas.</source>
        <translation>Prints the report&apos;s requirement rows (csv or json) instead of writing a file; needs no windows.</translation>
    </message>
    <message>
        <source>falta --pdf, --xlsx o --docx</source>
        <translation>missing --pdf, --xlsx or --docx</translation>
    </message>
    <message>
        <source>%1, %2 página: %3</source>
        <translation>%1, %2 page: %3</translation>
    </message>
    <message>
        <source>%1, %2 páginas: %3</source>
        <translation>%1, %2 pages: %3</translation>
    </message>
    <message>
        <source>el empleado %1 no está en el resultado de esta generación</source>
        <translation>employee %1 is not in the result of this generation</translation>
    </message>
    <message>
        <source>empleado %1 (%2 %3)</source>
        <translation>employee %1 (%2 %3)</translation>
    </message>
    <message>
        <source>indique el reporte: %1</source>
        <translation>name the report: %1</translation>
    </message>
    <message>
        <source>Uso: %1 list|competence [opciones]</source>
        <translation>Usage: %1 list|competence [options]</translation>
    </message>
    <message>
        <source>Las opciones de cada reporte: &quot;%1 list --help&quot;, &quot;%1 competence --help&quot;.</source>
        <translation>The options of each report: &quot;%1 list --help&quot;, &quot;%1 competence --help&quot;.</translation>
    </message>
    <message>
        <source>reporte desconocido &quot;%1&quot; (use %2)</source>
        <translation>unknown report &quot;%1&quot; (use %2)</translation>
    </message>
    <message>
        <source>Genera el semáforo como qacsemaf generate y escribe el reporte de competencias (tabla de requisitos y gráfica) de un empleado evaluado.</source>
        <translation>Runs the traffic-light generation as qacsemaf generate does and writes the competence report (requirement table and chart) of one evaluated employee.</translation>
    </message>
    <message>
        <source>Genera el semáforo como qacsemaf generate y escribe el listado del resultado.</source>
        <translation>Runs the traffic-light generation as qacsemaf generate does and writes the list report of the result.</translation>
    </message>
    <message>
        <source>No se puede borrar %1</source>
        <translation>Cannot remove %1</translation>
    </message>
    <message>
        <source>No se puede renombrar %1 como %2: %3</source>
        <translation>Cannot rename %1 to %2: %3</translation>
    </message>
    <message>
        <source>La base ya tiene %1 de las tablas (%2 ...); use --force para reemplazarlas</source>
        <translation>The database already has %1 of the tables (%2 ...); use --force to replace them</translation>
    </message>
    <message>
        <source>total</source>
        <translation>total</translation>
    </message>
    <message>
        <source>filas en</source>
        <translation>rows in</translation>
    </message>
    <message>
        <source>No se puede poner el diario del archivo en modo %1: %2</source>
        <translation>Cannot set the file&apos;s journal mode to %1: %2</translation>
    </message>
    <message>
        <source>El diario del archivo sigue en modo %1 en lugar de %2</source>
        <translation>The file stays in journal mode %1 instead of %2</translation>
    </message>
    <message>
        <source>No se puede iniciar la transacción: %1</source>
        <translation>Cannot begin the transaction: %1</translation>
    </message>
    <message>
        <source>No se puede confirmar la transacción: %1</source>
        <translation>Cannot commit the transaction: %1</translation>
    </message>
    <message>
        <source>Archivo SQLite que se crea.</source>
        <translation>SQLite database file to create.</translation>
    </message>
    <message>
        <source>Base PostgreSQL que se llena en su lugar, como &quot;host=... dbname=... user=... password=...&quot;.</source>
        <translation>PostgreSQL database to fill instead, as &quot;host=... dbname=... user=... password=...&quot;.</translation>
    </message>
    <message>
        <source>Crea una empresa sintética con N contratos activos.</source>
        <translation>Makes a synthetic company with N active contracts.</translation>
    </message>
    <message>
        <source>Reemplaza un archivo o unas tablas que ya existen.</source>
        <translation>Replaces an existing file or existing tables.</translation>
    </message>
    <message>
        <source>dé --db ARCHIVO o --pg CONNINFO</source>
        <translation>give --db FILE or --pg CONNINFO</translation>
    </message>
    <message>
        <source>%1 ya existe; use --force para reemplazarlo</source>
        <translation>%1 already exists; use --force to replace it</translation>
    </message>
    <message>
        <source>Crea el esquema y lo llena con los datos de demostración (tres empresas, planes de carrera y sus empleados) o, con --employees, con una empresa sintética grande.</source>
        <translation>Creates the schema and fills it with the demo data (three companies, career plans and their employees) or, with --employees, with one large synthetic company.</translation>
    </message>
    <message>
        <source>aviso: %1</source>
        <translation>notice: %1</translation>
    </message>
    <message>
        <source>la base PostgreSQL</source>
        <translation>the PostgreSQL database</translation>
    </message>
    <message>
        <source>empresa sintética con %1 empleados creada en %2</source>
        <translation>created a synthetic company with %1 employees in %2</translation>
    </message>
    <message>
        <source>base de demostración creada en %1</source>
        <translation>created the demo database in %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; abre las ventanas del módulo, lo que hace el programa %2, y falta (%3); compílelo o instálelo junto a qacsemaf.</source>
        <translation>&quot;%1&quot; opens the module&apos;s windows, which the program %2 does, and it is missing (%3); build or install it next to qacsemaf.</translation>
    </message>
    <message>
        <source>no se pudo iniciar %1: %2</source>
        <translation>%1 could not be started: %2</translation>
    </message>
    <message>
        <source>genera el semáforo sin ventanas e imprime o escribe la tabla del resultado</source>
        <translation>runs the traffic-light generation headless and prints or writes the result table</translation>
    </message>
    <message>
        <source>genera el semáforo y escribe el listado o el reporte de competencias de un empleado (PDF, XLSX, DOCX)</source>
        <translation>runs the generation and writes the list report or an employee&apos;s competence report (PDF, XLSX, DOCX)</translation>
    </message>
    <message>
        <source>crea la base de demostración o una empresa sintética grande</source>
        <translation>creates the demo database or a large synthetic company</translation>
    </message>
    <message>
        <source>Página: ruta, plan o cargos.</source>
        <translation>Page: ruta, plan or cargos.</translation>
    </message>
    <message>
        <source>página</source>
        <translation>page</translation>
    </message>
    <message>
        <source>Archivo PNG que se escribe.</source>
        <translation>PNG file to write.</translation>
    </message>
    <message>
        <source>Abre la ventana principal en un nodo de un plan de carrera, genera su semáforo y guarda una imagen de una página.</source>
        <translation>Opens the main form on a node of a career plan, generates its traffic light and saves a picture of one page.</translation>
    </message>
    <message>
        <source>Los comandos de qacsemaf que abren las ventanas del módulo; qacsemaf inicia este programa para ellos.</source>
        <translation>The commands of qacsemaf that open the module&apos;s windows; qacsemaf starts this program for them.</translation>
    </message>
    <message>
        <source>abre la ventana principal en un nodo de un plan, genera y guarda una imagen de una página</source>
        <translation>opens the main form on a plan node, generates and saves a picture of a page</translation>
    </message>
</context>
</TS>
