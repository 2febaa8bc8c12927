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
        <source>Contraseña del usuario: la primera línea del archivo (si no, la variable QACSEMAF_PASSWORD; si no, se pregunta en la terminal).</source>
        <translation>The user&apos;s password: the first line of the file (else the variable QACSEMAF_PASSWORD; else it is asked on the terminal).</translation>
    </message>
    <message>
        <source>Contraseña del usuario, visible para todos en la lista de procesos: mejor --password-file o QACSEMAF_PASSWORD.</source>
        <translation>The user&apos;s password, visible to everyone in the process list: prefer --password-file or QACSEMAF_PASSWORD.</translation>
    </message>
    <message>
        <source>falta la contraseña de %1: dé --password-file ARCHIVO o la variable QACSEMAF_PASSWORD (o ejecute el comando en una terminal, que la pregunta)</source>
        <translation>the password of %1 is missing: give --password-file FILE or the variable QACSEMAF_PASSWORD (or run the command on a terminal, which asks for it)</translation>
    </message>
    <message>
        <source>no se escribió ninguna contraseña de %1</source>
        <translation>no password of %1 was typed</translation>
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
    <message>
        <source>Copia una base de datos SQLite mientras otros la usan, tal como estaba en un momento. La copia no reemplaza un archivo que exista. Para PostgreSQL, use pg_dump.</source>
        <translation>Copies an SQLite database while others use it, as it was at one moment. The copy does not replace a file that exists. For PostgreSQL, use pg_dump.</translation>
    </message>
    <message>
        <source>Base de datos SQLite que se copia.</source>
        <translation>SQLite database to copy.</translation>
    </message>
    <message>
        <source>No se usa: las bases PostgreSQL se copian con pg_dump.</source>
        <translation>Not used: PostgreSQL databases are copied with pg_dump.</translation>
    </message>
    <message>
        <source>Archivo nuevo de la copia.</source>
        <translation>New file of the copy.</translation>
    </message>
    <message>
        <source>copia</source>
        <translation>copy</translation>
    </message>
    <message>
        <source>las bases PostgreSQL se copian con pg_dump (vea el README), no con backup</source>
        <translation>PostgreSQL databases are copied with pg_dump (see the README), not with backup</translation>
    </message>
    <message>
        <source>Copia de %1 guardada en %2 (%3 páginas).</source>
        <translation>Copy of %1 saved in %2 (%3 pages).</translation>
    </message>
    <message>
        <source>copia una base de datos SQLite mientras otros la usan</source>
        <translation>copies an SQLite database while others use it</translation>
    </message>
    <message>
        <source>%1: el archivo %2 no existe</source>
        <translation>%1: the file %2 does not exist</translation>
    </message>
    <message>
        <source>%1: %2 ya existe; no se reemplaza</source>
        <translation>%1: %2 exists already; it is not replaced</translation>
    </message>
    <message>
        <source>%1 ya existe y no es una base de datos SQLite; init no lo reemplaza</source>
        <translation>%1 exists already and is no SQLite database; init does not replace it</translation>
    </message>
    <message>
        <source>%1 ya existe y no está vacía; init solo crea bases nuevas: para ponerla al día use qacsemaf migrate</source>
        <translation>%1 exists already and is not empty; init only creates new databases: to bring it up to date use qacsemaf migrate</translation>
    </message>
    <message>
        <source>no se pudo renombrar %1 como %2: %3</source>
        <translation>could not rename %1 as %2: %3</translation>
    </message>
    <message>
        <source>%1 ya tiene %2 de las tablas del módulo (%3 ...); init solo prepara bases vacías: para ponerla al día use qacsemaf migrate</source>
        <translation>%1 already has %2 of the module&apos;s tables (%3 ...); init only prepares empty databases: to bring it up to date use qacsemaf migrate</translation>
    </message>
    <message>
        <source>no se pudo empezar la transacción: %1</source>
        <translation>could not begin the transaction: %1</translation>
    </message>
    <message>
        <source>no se pudo confirmar la transacción: %1</source>
        <translation>could not commit the transaction: %1</translation>
    </message>
    <message>
        <source>Crea una base de datos vacía del módulo, en la versión actual del esquema, con su primer administrador. La contraseña se pide en la terminal, sin eco, o se lee de la primera línea de la entrada estándar; nunca como argumento.</source>
        <translation>Creates an empty database of the module, at the current schema version, with its first administrator. The password is asked on the terminal, without echo, or read from the first line of standard input; never as an argument.</translation>
    </message>
    <message>
        <source>Nombre del primer administrador.</source>
        <translation>Name of the first administrator.</translation>
    </message>
    <message>
        <source>nombre</source>
        <translation>name</translation>
    </message>
    <message>
        <source>Base de datos creada en %1, versión %2 del esquema, con el administrador %3.</source>
        <translation>Database created in %1, schema version %2, with the administrator %3.</translation>
    </message>
    <message>
        <source>crea una base de datos vacía con su primer administrador</source>
        <translation>creates an empty database with its first administrator</translation>
    </message>
    <message>
        <source>las migraciones se aplicaron, pero los permisos de los usuarios del módulo no se pudieron poner al día: %1</source>
        <translation>the migrations were applied, but the grants of the module&apos;s roles could not be brought up to date: %1</translation>
    </message>
    <message>
        <source>Pone una base de datos del módulo en la versión %1 del esquema: aplica, en orden y cada una en su transacción, las migraciones que le faltan, conservando sus datos. Mientras tanto los servidores de aplicaciones de esa base responden 503 &quot;en mantenimiento&quot;. Una base SQLite pasa al diario de reversión (journal_mode=DELETE); hágalo sin nadie conectado.</source>
        <translation>Brings a database of the module to schema version %1: applies, in order and each in its own transaction, the migrations it lacks, keeping its data. Meanwhile the application servers of that database answer 503 &quot;in maintenance&quot;. An SQLite database moves to the rollback journal (journal_mode=DELETE); do it with nobody connected.</translation>
    </message>
    <message>
        <source>%1 no es una base de datos de Semáforo de Carrera; créela con qacsemaf init</source>
        <translation>%1 is no database of Semáforo de Carrera; create it with qacsemaf init</translation>
    </message>
    <message>
        <source>Aplicada la migración %1</source>
        <translation>Applied the migration %1</translation>
    </message>
    <message>
        <source>%1 ya está en la versión %2 del esquema; no había nada que aplicar.</source>
        <translation>%1 is already at schema version %2; there was nothing to apply.</translation>
    </message>
    <message>
        <source>%1 pasó de la versión %2 a la %3 del esquema.</source>
        <translation>%1 went from schema version %2 to %3.</translation>
    </message>
    <message>
        <source>pone una base de datos en la versión actual del esquema</source>
        <translation>brings a database to the current schema version</translation>
    </message>
    <message>
        <source>Contraseña de %1: </source>
        <translation>Password of %1: </translation>
    </message>
    <message>
        <source>no llegó ninguna contraseña por la entrada estándar</source>
        <translation>no password came on standard input</translation>
    </message>
    <message>
        <source>la contraseña de %1 no puede estar vacía</source>
        <translation>the password of %1 cannot be empty</translation>
    </message>
    <message>
        <source>Repita la contraseña: </source>
        <translation>Repeat the password: </translation>
    </message>
    <message>
        <source>las dos contraseñas no coinciden; no se cambió nada</source>
        <translation>the two passwords differ; nothing was changed</translation>
    </message>
    <message>
        <source>la base de datos %1 no existe</source>
        <translation>the database %1 does not exist</translation>
    </message>
    <message>
        <source>no se pudo abrir %1: %2</source>
        <translation>could not open %1: %2</translation>
    </message>
    <message>
        <source>Base de datos SQLite (un archivo).</source>
        <translation>SQLite database (a file).</translation>
    </message>
    <message>
        <source>Base de datos PostgreSQL, en lugar de --db: &quot;host=... port=... dbname=... user=... password=...&quot; y, si hacen falta, readuser=, readpassword=, writerole=, statement_timeout=, lock_timeout=.</source>
        <translation>PostgreSQL database, instead of --db: &quot;host=... port=... dbname=... user=... password=...&quot; and, where needed, readuser=, readpassword=, writerole=, statement_timeout=, lock_timeout=.</translation>
    </message>
    <message>
        <source>Con --pg: archivo cuya primera línea es la contraseña del usuario de lectura (si el conninfo no trae readpassword=).</source>
        <translation>With --pg: file whose first line is the reading user&apos;s password (when the conninfo has no readpassword=).</translation>
    </message>
    <message>
        <source>--db necesita el nombre de un archivo</source>
        <translation>--db needs the name of a file</translation>
    </message>
    <message>
        <source>--pg debe indicar dbname=</source>
        <translation>--pg must give dbname=</translation>
    </message>
    <message>
        <source>--pg: %1= necesita un número entero, no &quot;%2&quot;</source>
        <translation>--pg: %1= needs a whole number, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>no se pudo leer %1: %2</source>
        <translation>could not read %1: %2</translation>
    </message>
    <message>
        <source>%1 no tiene ninguna contraseña en su primera línea</source>
        <translation>%1 has no password on its first line</translation>
    </message>
    <message>
        <source>Crea un usuario, activo, con las empresas dadas. La contraseña se pide en la terminal o se lee de la entrada estándar.</source>
        <translation>Creates a user, active, with the companies given. The password is asked on the terminal or read from standard input.</translation>
    </message>
    <message>
        <source>Cambia la contraseña de un usuario; las sesiones abiertas con la anterior terminan.</source>
        <translation>Changes a user&apos;s password; the sessions opened with the old one end.</translation>
    </message>
    <message>
        <source>Deshabilita un usuario: no puede iniciar sesión y sus sesiones abiertas terminan. Conserva sus empresas.</source>
        <translation>Disables a user: it cannot log in and its open sessions end. It keeps its companies.</translation>
    </message>
    <message>
        <source>Habilita de nuevo un usuario.</source>
        <translation>Enables a user again.</translation>
    </message>
    <message>
        <source>Da a un usuario una empresa más.</source>
        <translation>Gives a user one more company.</translation>
    </message>
    <message>
        <source>Lista los usuarios, su tipo, su estado y sus empresas.</source>
        <translation>Lists the users, their type, their state and their companies.</translation>
    </message>
    <message>
        <source>Uso: %1 &lt;acción&gt; [opciones]</source>
        <translation>Usage: %1 &lt;action&gt; [options]</translation>
    </message>
    <message>
        <source>Los usuarios de la aplicación y sus empresas.</source>
        <translation>The application&apos;s users and their companies.</translation>
    </message>
    <message>
        <source>Acciones:</source>
        <translation>Actions:</translation>
    </message>
    <message>
        <source>Las opciones de cada acción: &quot;%1 &lt;acción&gt; --help&quot;.</source>
        <translation>The options of each action: &quot;%1 &lt;action&gt; --help&quot;.</translation>
    </message>
    <message>
        <source>USUARIO</source>
        <translation>USER</translation>
    </message>
    <message>
        <source>TIPO</source>
        <translation>TYPE</translation>
    </message>
    <message>
        <source>ESTADO</source>
        <translation>STATE</translation>
    </message>
    <message>
        <source>EMPRESAS</source>
        <translation>COMPANIES</translation>
    </message>
    <message>
        <source>activo</source>
        <translation>active</translation>
    </message>
    <message>
        <source>deshabilitado</source>
        <translation>disabled</translation>
    </message>
    <message>
        <source>%1: empresa %2 concedida.</source>
        <translation>%1: company %2 granted.</translation>
    </message>
    <message>
        <source>%1: empresa %2 retirada.</source>
        <translation>%1: company %2 revoked.</translation>
    </message>
    <message>
        <source>Usuario %1 deshabilitado.</source>
        <translation>User %1 disabled.</translation>
    </message>
    <message>
        <source>Usuario %1 habilitado.</source>
        <translation>User %1 enabled.</translation>
    </message>
    <message>
        <source>Contraseña de %1 cambiada.</source>
        <translation>Password of %1 changed.</translation>
    </message>
    <message>
        <source>Usuario %1 creado.</source>
        <translation>User %1 created.</translation>
    </message>
    <message>
        <source>Empresa que el usuario puede usar (se repite para varias).</source>
        <translation>A company the user may use (repeat it for several).</translation>
    </message>
    <message>
        <source>Tipo de usuario: A administrador, U usuario, C consulta.</source>
        <translation>User type: A administrator, U user, C read only.</translation>
    </message>
    <message>
        <source>tipo</source>
        <translation>type</translation>
    </message>
    <message>
        <source>Nombre completo del usuario.</source>
        <translation>The user&apos;s full name.</translation>
    </message>
    <message>
        <source>texto</source>
        <translation>text</translation>
    </message>
    <message>
        <source>La empresa.</source>
        <translation>The company.</translation>
    </message>
    <message>
        <source>falta el NOMBRE del usuario</source>
        <translation>missing the user&apos;s NAME</translation>
    </message>
    <message>
        <source>--company: dé una sola empresa</source>
        <translation>--company: give one company only</translation>
    </message>
    <message>
        <source>indique la acción: %1</source>
        <translation>give the action: %1</translation>
    </message>
    <message>
        <source>acción desconocida &quot;%1&quot; (use %2)</source>
        <translation>unknown action &quot;%1&quot; (use %2)</translation>
    </message>
    <message>
        <source>NOMBRE</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>No se pueden listar las tablas con COD_EMPR: %1</source>
        <translation>Cannot list the tables with COD_EMPR: %1</translation>
    </message>
    <message>
        <source>No se pueden listar las políticas de las tablas: %1</source>
        <translation>Cannot list the policies of the tables: %1</translation>
    </message>
    <message>
        <source>No se puede preparar la seguridad de filas por empresa</source>
        <translation>Cannot set up row security by company</translation>
    </message>
    <message>
        <source>se esperaba clave=valor en &quot;%1&quot;</source>
        <translation>expected key=value in &quot;%1&quot;</translation>
    </message>
    <message>
        <source>falta la comilla que cierra el valor de %1</source>
        <translation>missing the quote that closes the value of %1</translation>
    </message>
    <message>
        <source>No se puede abrir %1: %2</source>
        <translation>Cannot open %1: %2</translation>
    </message>
    <message>
        <source>No se puede conectar con PostgreSQL: %1</source>
        <translation>Cannot connect to PostgreSQL: %1</translation>
    </message>
    <message>
        <source>%1 necesita milisegundos, no &quot;%2&quot;</source>
        <translation>%1 needs milliseconds, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>No se puede fijar %1: %2</source>
        <translation>Cannot set %1: %2</translation>
    </message>
    <message>
        <source>La base de datos no está abierta</source>
        <translation>The database is not open</translation>
    </message>
    <message>
        <source>No se puede iniciar la transacción de la carga: %1</source>
        <translation>Cannot begin the seed transaction: %1</translation>
    </message>
    <message>
        <source>No se puede confirmar la carga: %1</source>
        <translation>Cannot commit the seed: %1</translation>
    </message>
    <message>
        <source>La empresa sintética necesita al menos un empleado</source>
        <translation>The synthetic company needs at least one employee</translation>
    </message>
    <message>
        <source>No se puede saber si el usuario de la conexión es superusuario: %1</source>
        <translation>Cannot tell whether the login is a superuser: %1</translation>
    </message>
    <message>
        <source>el usuario de la conexión no es superusuario: las funciones que cualquier usuario puede llamar (set_config, pg_terminate_backend, pg_sleep, los bloqueos consultivos, los objetos grandes y otras) siguen al alcance del usuario de lectura. La seguridad de filas por empresa descansa entonces solo en la revisión de sentencias del servidor, que restablece la sesión del lector después de cada petición. Ejecute init o seed una vez como superusuario para quitárselas.</source>
        <translation>not a superuser: the functions every login may call (set_config, pg_terminate_backend, pg_sleep, advisory locks, large objects and the like) stay callable by the reading role. Row security by company then rests on the server&apos;s statement check alone, and the server resets the reader&apos;s session after every request. Run init or seed once as a superuser to take them away.</translation>
    </message>
    <message>
        <source>No se pueden listar las funciones que se quitan: %1</source>
        <translation>Cannot list the functions to take away: %1</translation>
    </message>
    <message>
        <source>No se puede leer el dueño de la base de datos: %1</source>
        <translation>Cannot read the database&apos;s owner: %1</translation>
    </message>
    <message>
        <source>No se pueden quitar las funciones al usuario de lectura</source>
        <translation>Cannot take functions away from the reading role</translation>
    </message>
    <message>
        <source>La base de datos no es una conexión PostgreSQL abierta</source>
        <translation>The database is not an open PostgreSQL connection</translation>
    </message>
    <message>
        <source>Falló la inserción en %1: %2</source>
        <translation>Insert into %1 failed: %2</translation>
    </message>
    <message>
        <source>El catálogo de preparación no tiene la sentencia %1</source>
        <translation>The set-up catalogue has no statement %1</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; no cabe en el hueco %3</source>
        <translation>%1: &quot;%2&quot; does not fit the slot %3</translation>
    </message>
    <message>
        <source>%1 no es una sola lectura</source>
        <translation>%1 is not one read</translation>
    </message>
    <message>
        <source>%1: el nombre &quot;%2&quot; debe ser un identificador en minúsculas</source>
        <translation>%1: the name &quot;%2&quot; must be a lower-case identifier</translation>
    </message>
    <message>
        <source>No se puede buscar el rol %1: %2</source>
        <translation>Cannot look up role %1: %2</translation>
    </message>
    <message>
        <source>No se puede leer el esquema actual: %1</source>
        <translation>Cannot read the current schema: %1</translation>
    </message>
    <message>
        <source>No se puede leer qué puede hacer el usuario de la conexión: %1</source>
        <translation>Cannot read what the login may do: %1</translation>
    </message>
    <message>
        <source>usuario de lectura</source>
        <translation>reading role</translation>
    </message>
    <message>
        <source>el usuario de lectura %1 no existe y %2 no puede crear roles (no tiene CREATEROLE): un administrador de PostgreSQL debe crearlo antes (README, &quot;Setting up a site&quot;)</source>
        <translation>the reading role %1 does not exist and %2 cannot create roles (it lacks CREATEROLE): a PostgreSQL administrator must create it first (README, &quot;Setting up a site&quot;)</translation>
    </message>
    <message>
        <source>No se puede leer el nombre de la base de datos: %1</source>
        <translation>Cannot read the database&apos;s name: %1</translation>
    </message>
    <message>
        <source>No se pueden leer las columnas de GN_USUAR: %1</source>
        <translation>Cannot read the columns of GN_USUAR: %1</translation>
    </message>
    <message>
        <source>la contraseña del usuario de lectura %1 no se cambió: %2 no puede cambiar roles; la pone el administrador de PostgreSQL</source>
        <translation>the password of the reading role %1 was not changed: %2 cannot change roles; the PostgreSQL administrator sets it</translation>
    </message>
    <message>
        <source>el usuario de lectura %1 ya existe y lo usan también las bases %2 de este servidor PostgreSQL: su contraseña no se cambió, para que sus servidores sigan conectándose; el servidor de esta base debe usar la contraseña que el rol ya tiene, o dele a esta base un usuario de lectura propio con readuser= en --pg</source>
        <translation>the reading role %1 already exists and the databases %2 of this PostgreSQL server use it too: its password was not changed, so that their servers keep connecting; this database&apos;s server must use the password the role has, or give this database a reading role of its own with readuser= in --pg</translation>
    </message>
    <message>
        <source>No se puede saber qué otras bases usan el rol %1: %2</source>
        <translation>Cannot tell which other databases use the role %1: %2</translation>
    </message>
    <message>
        <source>No se puede preparar el usuario de lectura %1</source>
        <translation>Cannot set up the reading role %1</translation>
    </message>
    <message>
        <source>No se pudo pasar la base de datos al diario de reversión: %1</source>
        <translation>Could not move the database to the rollback journal: %1</translation>
    </message>
    <message>
        <source>La base de datos sigue en el modo de diario %1 en lugar de DELETE (¿otro programa la tiene abierta?)</source>
        <translation>The database is still in journal mode %1 instead of DELETE (does another program have it open?)</translation>
    </message>
    <message>
        <source>El recurso del esquema falta o está vacío</source>
        <translation>The schema resource is missing or empty</translation>
    </message>
    <message>
        <source>No se puede iniciar la transacción del esquema: %1</source>
        <translation>Cannot begin the schema transaction: %1</translation>
    </message>
    <message>
        <source>Falló una sentencia del esquema: %1
%2</source>
        <translation>Schema statement failed: %1
%2</translation>
    </message>
    <message>
        <source>No se puede confirmar el esquema: %1</source>
        <translation>Cannot commit the schema: %1</translation>
    </message>
    <message>
        <source>No se puede borrar %1: %2</source>
        <translation>Cannot drop %1: %2</translation>
    </message>
    <message>
        <source>Falta la migración %1 para este motor de base de datos</source>
        <translation>The migration %1 is missing for this database engine</translation>
    </message>
    <message>
        <source>La migración %1 está vacía o no se pudo leer</source>
        <translation>The migration %1 is empty or could not be read</translation>
    </message>
    <message>
        <source>No se pudo empezar la migración %1: %2</source>
        <translation>Could not begin the migration %1: %2</translation>
    </message>
    <message>
        <source>La migración %1 falló y no cambió nada: %2
%3</source>
        <translation>The migration %1 failed and changed nothing: %2
%3</translation>
    </message>
    <message>
        <source>No se pudo confirmar la migración %1: %2</source>
        <translation>Could not commit the migration %1: %2</translation>
    </message>
    <message>
        <source>Tabla desconocida %1</source>
        <translation>Unknown table %1</translation>
    </message>
    <message>
        <source>%1 tiene %2 columnas y se dieron %3 valores</source>
        <translation>%1 has %2 columns, %3 values given</translation>
    </message>
    <message>
        <source>La conexión SQLite de %1 no está abierta</source>
        <translation>The SQLite connection for %1 is not open</translation>
    </message>
    <message>
        <source>No se puede preparar la inserción en %1: %2</source>
        <translation>Cannot prepare the insert into %1: %2</translation>
    </message>
    <message>
        <source>el usuario de lectura %1 se creó sin contraseña: désela con readpassword= en --pg o --read-password-file</source>
        <translation>the reading role %1 was created without a password: give it one with readpassword= in --pg or --read-password-file</translation>
    </message>
    <message>
        <source>no se pudo empezar la copia: %1</source>
        <translation>could not begin the copy: %1</translation>
    </message>
    <message>
        <source>la copia no terminó: %1</source>
        <translation>the copy did not finish: %1</translation>
    </message>
    <message>
        <source>%1 ya existe; la copia no reemplaza archivos</source>
        <translation>%1 exists already; the copy does not replace files</translation>
    </message>
    <message>
        <source>la carpeta de %1 no existe</source>
        <translation>the folder of %1 does not exist</translation>
    </message>
    <message>
        <source>%1 no es una base de datos de Semáforo de Carrera</source>
        <translation>%1 is no database of Semáforo de Carrera</translation>
    </message>
    <message>
        <source>no se pudo crear %1: %2</source>
        <translation>could not create %1: %2</translation>
    </message>
    <message>
        <source>no se pudo preparar la copia: %1</source>
        <translation>could not prepare the copy: %1</translation>
    </message>
    <message>
        <source>el usuario %1 no existe</source>
        <translation>the user %1 does not exist</translation>
    </message>
    <message>
        <source>el nombre de usuario &quot;%1&quot; no sirve: debe tener de 1 a 8 caracteres, sin espacios</source>
        <translation>the user name &quot;%1&quot; will not do: it must have 1 to 8 characters, without blanks</translation>
    </message>
    <message>
        <source>no se pudo leer el usuario %1: %2</source>
        <translation>could not read the user %1: %2</translation>
    </message>
    <message>
        <source>el usuario %1 ya existe</source>
        <translation>the user %1 exists already</translation>
    </message>
    <message>
        <source>no se pudo crear el usuario %1: %2</source>
        <translation>could not create the user %1: %2</translation>
    </message>
    <message>
        <source>no se pudo cambiar la contraseña de %1: %2</source>
        <translation>could not change the password of %1: %2</translation>
    </message>
    <message>
        <source>no se pudo cambiar el estado de %1: %2</source>
        <translation>could not change the state of %1: %2</translation>
    </message>
    <message>
        <source>no se pudieron leer las empresas de %1: %2</source>
        <translation>could not read the companies of %1: %2</translation>
    </message>
    <message>
        <source>el usuario %1 ya tiene la empresa %2</source>
        <translation>the user %1 already has the company %2</translation>
    </message>
    <message>
        <source>no se pudo dar la empresa %1 a %2: %3</source>
        <translation>could not give the company %1 to %2: %3</translation>
    </message>
    <message>
        <source>no se pudo quitar la empresa %1 a %2: %3</source>
        <translation>could not take the company %1 from %2: %3</translation>
    </message>
    <message>
        <source>el usuario %1 no tiene la empresa %2</source>
        <translation>the user %1 does not have the company %2</translation>
    </message>
    <message>
        <source>no se pudieron leer los usuarios: %1</source>
        <translation>could not read the users: %1</translation>
    </message>
    <message>
        <source>no se pudieron leer las empresas de los usuarios: %1</source>
        <translation>could not read the users&apos; companies: %1</translation>
    </message>
    <message>
        <source>rol de escritura</source>
        <translation>writing role</translation>
    </message>
    <message>
        <source>el rol de escritura %1 no existe y %2 no puede crear roles (no tiene CREATEROLE): un administrador de PostgreSQL debe crearlo antes (README, &quot;Setting up a site&quot;)</source>
        <translation>the writing role %1 does not exist and %2 cannot create roles (it lacks CREATEROLE): a PostgreSQL administrator must create it first (README, &quot;Setting up a site&quot;)</translation>
    </message>
    <message>
        <source>No se puede saber si el usuario de la conexión puede actuar como %1: %2</source>
        <translation>Cannot tell whether the login may act as %1: %2</translation>
    </message>
    <message>
        <source>%1 no es miembro del rol de escritura %2 ni puede hacerse miembro (no tiene CREATEROLE): un administrador de PostgreSQL debe ejecutar GRANT %2 TO %1</source>
        <translation>%1 is no member of the writing role %2 and cannot become one (it lacks CREATEROLE): a PostgreSQL administrator must run GRANT %2 TO %1</translation>
    </message>
    <message>
        <source>No se puede preparar el rol de escritura %1</source>
        <translation>Cannot set up the writing role %1</translation>
    </message>
    <message>
        <source>El plan de carrera (COD_MENU).</source>
        <translation>The career plan (COD_MENU).</translation>
    </message>
    <message>
        <source>número</source>
        <translation>number</translation>
    </message>
    <message>
        <source>Solo este nodo: sus filas del semáforo o, con --gaps, sus brechas.</source>
        <translation>Only this node: its traffic-light rows or, with --gaps, its gaps.</translation>
    </message>
    <message>
        <source>Imprime los requisitos que los candidatos no alcanzan (Brechas): los del plan entero, o los del nodo con --node.</source>
        <translation>Prints the requirements the candidates fall short of (Brechas): the whole plan&apos;s, or the node&apos;s with --node.</translation>
    </message>
    <message>
        <source>El plan %1 no tiene el nodo %2.</source>
        <translation>Plan %1 has no node %2.</translation>
    </message>
    <message>
        <source>nodo %1: %2</source>
        <translation>node %1: %2</translation>
    </message>
    <message>
        <source>Mapa de Sucesión: genera el semáforo en cada nodo de un plan de carrera que tiene cargos candidatos e imprime una fila por nodo, las brechas (--gaps) o las filas de un nodo (--node).</source>
        <translation>Succession map (Mapa de Sucesión): runs the traffic light on every node of a career plan that has candidate positions and prints one row per node, the gaps (--gaps) or one node&apos;s rows (--node).</translation>
    </message>
    <message>
        <source>el mapa de sucesión de un plan: por nodo sus candidatos por banda y el mejor, las brechas (--gaps) o las filas de un nodo (--node)</source>
        <translation>a plan&apos;s succession map: per node its candidates by band and the best one, the gaps (--gaps) or one node&apos;s rows (--node)</translation>
    </message>
    <message>
        <source>La versión: &quot;qacsemaf --version&quot;.</source>
        <translation>The version: &quot;qacsemaf --version&quot;.</translation>
    </message>
    <message>
        <source>Página: ruta, plan, cargos o mapa (el mapa de sucesión del plan).</source>
        <translation>Page: ruta, plan, cargos or mapa (the plan&apos;s succession map).</translation>
    </message>
    <message>
        <source>no se pudo poner la base de datos en mantenimiento: %1</source>
        <translation>the database could not be put in maintenance: %1</translation>
    </message>
    <message>
        <source>la contraseña debe tener al menos %1 caracteres; no se guardó nada</source>
        <translation>the password must have at least %1 characters; nothing was saved</translation>
    </message>
    <message>
        <source>la contraseña no puede ser el nombre del usuario; no se guardó nada</source>
        <translation>the password cannot be the user&apos;s name; nothing was saved</translation>
    </message>
    <message>
        <source>Largo mínimo de la contraseña (nunca puede ser el nombre del usuario).</source>
        <translation>Least length of the password (which can never be the user&apos;s name).</translation>
    </message>
    <message>
        <source>Pone una copia hecha con qacsemaf backup en lugar de una base de datos SQLite, con la copia en línea de SQLite: quien la tenga abierta ve la base de antes o la restaurada, entera. Antes, lo que tenía la base se guarda en un archivo nuevo a su lado (ARCHIVO.antes-de-restaurar-AAAAMMDD-HHMMSS); si la base no existe, se crea. No cambia nada si la copia no es una base de datos del módulo, si es de una versión del esquema más nueva que la %1 de este programa o si la base sigue ocupada tras %2 segundos; una copia de una versión anterior se restaura tal cual y se pone al día después con qacsemaf migrate. Para PostgreSQL, use pg_restore (vea el README).</source>
        <translation>Puts a copy made by qacsemaf backup in place of an SQLite database, with SQLite's online backup: whoever has it open sees the database from before or the restored one, whole. First, what the database held is saved in a new file beside it (FILE.antes-de-restaurar-YYYYMMDD-HHMMSS); a database that does not exist is created. Nothing changes when the copy is no database of the module, is of a schema version newer than this program's %1, or the database is still busy after %2 seconds; a copy of an older version is restored as it is and brought forward afterwards with qacsemaf migrate. For PostgreSQL, use pg_restore (see the README).</translation>
    </message>
    <message>
        <source>Base de datos SQLite que se reemplaza (o se crea).</source>
        <translation>SQLite database that is replaced (or created).</translation>
    </message>
    <message>
        <source>Copia que se restaura.</source>
        <translation>Copy that is restored.</translation>
    </message>
    <message>
        <source>No se usa: las bases PostgreSQL se restauran con pg_restore.</source>
        <translation>Not used: PostgreSQL databases are restored with pg_restore.</translation>
    </message>
    <message>
        <source>las bases PostgreSQL se restauran con pg_restore, con los pasos de &quot;Backups&quot; del README; no con restore</source>
        <translation>PostgreSQL databases are restored with pg_restore, following &quot;Backups&quot; in the README; not with restore</translation>
    </message>
    <message>
        <source>--from: es el mismo archivo que --db</source>
        <translation>--from: is the same file as --db</translation>
    </message>
    <message>
        <source>%1 creada desde %2 (versión %3 del esquema).</source>
        <translation>%1 created from %2 (schema version %3).</translation>
    </message>
    <message>
        <source>%1 restaurada desde %2 (versión %3 del esquema). Lo que tenía antes quedó en %4.</source>
        <translation>%1 restored from %2 (schema version %3). What it held before is in %4.</translation>
    </message>
    <message>
        <source>restaura una base de datos SQLite desde una copia</source>
        <translation>restores an SQLite database from a copy</translation>
    </message>
    <message>
        <source>no se restauró nada</source>
        <translation>nothing was restored</translation>
    </message>
    <message>
        <source>%1 no es una base de datos SQLite; %2</source>
        <translation>%1 is not an SQLite database; %2</translation>
    </message>
    <message>
        <source>%1 tiene a su lado %2: un programa la usa o no la cerró bien; cópiela con qacsemaf backup y restaure esa copia; %3</source>
        <translation>%1 has %2 beside it: a program is using it or did not close it properly; copy it with qacsemaf backup and restore that copy; %3</translation>
    </message>
    <message>
        <source>%1 no es una base de datos SQLite que se pueda leer: %2; %3</source>
        <translation>%1 is not an SQLite database that can be read: %2; %3</translation>
    </message>
    <message>
        <source>%1 no es una base de datos de Semáforo de Carrera; %2</source>
        <translation>%1 is no database of Semáforo de Carrera; %2</translation>
    </message>
    <message>
        <source>no se pudo leer la versión del esquema de %1: %2</source>
        <translation>the schema version of %1 could not be read: %2</translation>
    </message>
    <message>
        <source>No se restauró nada.</source>
        <translation>Nothing was restored.</translation>
    </message>
    <message>
        <source>no se cambió nada</source>
        <translation>nothing was changed</translation>
    </message>
    <message>
        <source>%1 está ocupada: un servidor o un puesto la usó durante los %2 segundos de espera; %3. Intente de nuevo con nadie trabajando en ella</source>
        <translation>%1 is busy: a server or workstation used it throughout the %2 seconds of waiting; %3. Try again with nobody working on it</translation>
    </message>
    <message>
        <source>no se pudo bloquear %1: %2; %3</source>
        <translation>%1 could not be locked: %2; %3</translation>
    </message>
    <message>
        <source>no se pudo guardar lo que tenía %1: %2; %3</source>
        <translation>what %1 held could not be saved: %2; %3</translation>
    </message>
    <message>
        <source>no se pudo restaurar %1: %2; %3</source>
        <translation>%1 could not be restored: %2; %3</translation>
        <source>FECHA</source>
        <translation>DATE</translation>
    </message>
    <message>
        <source>ACCIÓN</source>
        <translation>ACTION</translation>
    </message>
    <message>
        <source>DETALLE</source>
        <translation>DETAIL</translation>
    </message>
    <message>
        <source>DIRECCIÓN</source>
        <translation>ADDRESS</translation>
    </message>
    <message>
        <source>Lista el registro de auditoría de la base de datos, del más antiguo al más reciente: los inicios de sesión en el servidor de aplicaciones (también los rechazados, con el nombre como se escribió y el motivo), los cambios guardados y los cambios de usuarios y sesiones del comando user; cada uno con su fecha y hora (UTC), usuario, acción, detalle y dirección (&quot;local&quot;: en esta máquina).</source>
        <translation>Lists the database&apos;s audit record, oldest first: the logins to the application server (refused ones too, with the name as typed and why), the saved changes and the changes of users and sessions made by the user command; each with its date and time (UTC), user, action, detail and address (&quot;local&quot;: on this machine).</translation>
    </message>
    <message>
        <source>Solo desde esta fecha (AAAA-MM-DD) o fecha y hora (AAAA-MM-DDTHH:MM[:SS]), en UTC como las lista; o con Z o un desfase (+HH:MM).</source>
        <translation>Only from this date (YYYY-MM-DD) or date and time (YYYY-MM-DDTHH:MM[:SS]) on, in UTC as it lists them; or with Z or an offset (+HH:MM).</translation>
    </message>
    <message>
        <source>fecha</source>
        <translation>date</translation>
    </message>
    <message>
        <source>Solo las filas de este usuario (sin distinguir mayúsculas).</source>
        <translation>Only the rows of this user (in any case).</translation>
    </message>
    <message>
        <source>Formato: table o json.</source>
        <translation>Format: table or json.</translation>
    </message>
    <message>
        <source>--since: &quot;%1&quot; no es una fecha (AAAA-MM-DD) ni una fecha y hora (AAAA-MM-DDTHH:MM[:SS])</source>
        <translation>--since: &quot;%1&quot; is no date (YYYY-MM-DD) nor date and time (YYYY-MM-DDTHH:MM[:SS])</translation>
    </message>
    <message>
        <source>no se pudo leer el registro de auditoría: %1</source>
        <translation>could not read the audit record: %1</translation>
    </message>
    <message>
        <source>lista el registro de auditoría: inicios de sesión, cambios guardados y de usuarios</source>
        <translation>lists the audit record: logins, saved changes and changes of users</translation>
    </message>
    <message>
        <source>Con --company, quita a un usuario una empresa. Sin ella, termina las sesiones abiertas del usuario en el servidor de aplicaciones (con --session, solo esa): su siguiente solicitud recibe &quot;La sesión fue terminada por un administrador&quot; y debe iniciar sesión de nuevo.</source>
        <translation>With --company, takes a company away from a user. Without it, ends the user&apos;s open sessions on the application server (with --session, that one only): its next request gets &quot;La sesión fue terminada por un administrador&quot; and must log in again.</translation>
    </message>
    <message>
        <source>Lista las sesiones de un usuario en el servidor de aplicaciones: su identificador, inicio, expiración (UTC), dirección y estado (activa, terminada, expirada).</source>
        <translation>Lists a user&apos;s sessions on the application server: its id, start, expiry (UTC), address and state (activa: open, terminada: ended, expirada: expired).</translation>
    </message>
    <message>
        <source>SESIÓN</source>
        <translation>SESSION</translation>
    </message>
    <message>
        <source>INICIO</source>
        <translation>START</translation>
    </message>
    <message>
        <source>EXPIRA</source>
        <translation>EXPIRES</translation>
    </message>
    <message>
        <source>%1: sesión %2 terminada.</source>
        <translation>%1: session %2 ended.</translation>
    </message>
    <message>
        <source>%1 no tenía sesiones abiertas.</source>
        <translation>%1 had no open sessions.</translation>
    </message>
    <message>
        <source>%1: %2 sesiones terminadas.</source>
        <translation>%1: %2 sessions ended.</translation>
    </message>
    <message>
        <source>La empresa que se le quita.</source>
        <translation>The company to take away.</translation>
    </message>
    <message>
        <source>Termina solo esta sesión (su identificador, como lo lista &quot;user sessions&quot;).</source>
        <translation>Ends this session only (its id, as &quot;user sessions&quot; lists it).</translation>
    </message>
    <message>
        <source>--session: &quot;%1&quot; no es el identificador de una sesión (32 cifras hexadecimales, como lo lista &quot;user sessions&quot;)</source>
        <translation>--session: &quot;%1&quot; is no session id (32 hexadecimal digits, as &quot;user sessions&quot; lists it)</translation>
    </message>
    <message>
        <source>añade, cambia, deshabilita y lista usuarios, sus empresas y sus sesiones</source>
        <translation>adds, changes, disables and lists users, their companies and their sessions</translation>
    </message>
    <message>
        <source>el usuario %1 no tiene una sesión %2 sin terminar</source>
        <translation>the user %1 has no session %2 that is not ended</translation>
    </message>
    <message>
        <source>no se pudieron terminar las sesiones de %1: %2</source>
        <translation>could not end the sessions of %1: %2</translation>
    </message>
    <message>
        <source>no se pudieron leer las sesiones de %1: %2</source>
        <translation>could not read the sessions of %1: %2</translation>
        <source>Escribe el reporte Evolución del Plan: la comparación de dos cortes de un mismo plan (qacsemaf snapshot compare), por nodo y por persona.</source>
        <translation>Writes the report Evolución del Plan: the comparison of two snapshots of one plan (qacsemaf snapshot compare), per node and per person.</translation>
    </message>
    <message>
        <source>A B</source>
        <translation>A B</translation>
    </message>
    <message>
        <source>indique los dos cortes que se comparan: compare A B, dos números</source>
        <translation>name the two snapshots to compare: compare A B, two numbers</translation>
    </message>
    <message>
        <source>Uso: %1 %2 [opciones]</source>
        <translation>Usage: %1 %2 [options]</translation>
    </message>
    <message>
        <source>Las opciones de cada reporte: %1.</source>
        <translation>The options of each report: %1.</translation>
    </message>
    <message>
        <source>Calcula el mapa de sucesión del plan como qacsemaf succession y lo guarda como un corte: por nodo cada persona una vez, con el puntaje y la banda de su mejor contrato.</source>
        <translation>Computes the plan's succession map as qacsemaf succession does and keeps it as a snapshot: per node each person once, with the score and band of his best contract.</translation>
    </message>
    <message>
        <source>Lista los cortes de la empresa (de un plan con --plan): número, plan, fecha (UTC), usuario, etiqueta, nodos y personas.</source>
        <translation>Lists the company's snapshots (of one plan with --plan): number, plan, time (UTC), user, label, nodes and people.</translation>
    </message>
    <message>
        <source>Compara dos cortes de un mismo plan: por nodo el cambio de personas en verde, por persona el movimiento de banda y el cambio de puntaje.</source>
        <translation>Compares two snapshots of one plan: per node the change in green people, per person the band move and the score change.</translation>
    </message>
    <message>
        <source>La historia de un empleado en los cortes de la empresa: corte, fecha, nodo, cargo, puntaje y banda.</source>
        <translation>An employee's history in the company's snapshots: snapshot, time, node, position, score and band.</translation>
    </message>
    <message>
        <source>Cortes del mapa de sucesión de un plan.</source>
        <translation>Snapshots of a plan's succession map.</translation>
    </message>
    <message>
        <source>Etiqueta del corte (hasta 60 caracteres).</source>
        <translation>The snapshot's label (up to 60 characters).</translation>
    </message>
    <message>
        <source>El empleado (COD_EMPL).</source>
        <translation>The employee (COD_EMPL).</translation>
    </message>
    <message>
        <source>corte %1 guardado: plan %2, %3 nodos, %4 personas</source>
        <translation>snapshot %1 saved: plan %2, %3 nodes, %4 people</translation>
    </message>
    <message>
        <source>%1, plan %2: corte %3 frente al corte %4</source>
        <translation>%1, plan %2: snapshot %3 against snapshot %4</translation>
    </message>
    <message>
        <source>--format: compare escribe table, json o csv; el libro XLSX lo da qacsemaf report evolution</source>
        <translation>--format: compare writes table, json or csv; qacsemaf report evolution gives the XLSX workbook</translation>
    </message>
    <message>
        <source>--employee: &quot;%1&quot; no es un número</source>
        <translation>--employee: &quot;%1&quot; is not a number</translation>
    </message>
    <message>
        <source>cortes del mapa de sucesión: guarda el mapa de un plan (save), los lista (list), compara dos (compare) o muestra la historia de un empleado (history)</source>
        <translation>snapshots of the succession map: keeps a plan's map (save), lists them (list), compares two (compare) or shows an employee's history (history)</translation>
        <source>El nodo del plan (COD_NODO).</source>
        <translation>The plan&apos;s node (COD_NODO).</translation>
    </message>
    <message>
        <source>El candidato (COD_EMPL).</source>
        <translation>The candidate (COD_EMPL).</translation>
    </message>
    <message>
        <source>código</source>
        <translation>code</translation>
    </message>
    <message>
        <source>La empresa de su contrato (COD_EMCA), cuando tiene contratos candidatos del nodo en varias empresas.</source>
        <translation>The company of his contract (COD_EMCA), when he holds candidate contracts of the node in several companies.</translation>
    </message>
    <message>
        <source>empresa</source>
        <translation>company</translation>
    </message>
    <message>
        <source>Las brechas que se dan por cerradas: all, o TIPO:REQU:ESPE separadas por comas (CO:601:2; CO:601 sin especificación). Sin ella no se cierra ninguna.</source>
        <translation>The gaps taken as closed: all, or TYPE:REQ:DETAIL separated by commas (CO:601:2; CO:601 without a detail). Without it none is closed.</translation>
    </message>
    <message>
        <source>brechas</source>
        <translation>gaps</translation>
    </message>
    <message>
        <source>Salida: table o json.</source>
        <translation>Output: table or json.</translation>
    </message>
    <message>
        <source>--employee necesita un código de empleado (un número), no &quot;%1&quot;.</source>
        <translation>--employee needs an employee code (a number), not &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Plan %1, nodo %2: cargo %3 de la empresa %4</source>
        <translation>Plan %1, node %2: position %3 of company %4</translation>
    </message>
    <message>
        <source>Candidato %1 %2 %3 (cargo %4 de la empresa %5)</source>
        <translation>Candidate %1 %2 %3 (position %4 of company %5)</translation>
    </message>
    <message>
        <source>Semáforo generado: %1 %2</source>
        <translation>Generated traffic light: %1 %2</translation>
    </message>
    <message>
        <source>Con las brechas cerradas: %1 %2</source>
        <translation>With the gaps closed: %1 %2</translation>
    </message>
    <message>
        <source>Brechas cerradas: %1</source>
        <translation>Gaps closed: %1</translation>
    </message>
    <message>
        <source>ninguna</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Brechas abiertas: ninguna</source>
        <translation>Gaps still open: none</translation>
    </message>
    <message>
        <source>Brechas abiertas:</source>
        <translation>Gaps still open:</translation>
    </message>
    <message>
        <source>Qué pasaría si: el porcentaje y la banda de un candidato de un nodo con las brechas de --close dadas por cerradas, cada una como un registro más de ese requisito con los puntos que le faltan. No escribe nada en la base de datos.</source>
        <translation>What if: the percentage and band of a candidate of a node with the gaps of --close taken as closed, each as one more record of that requirement carrying the points he misses. Nothing is written to the database.</translation>
    </message>
    <message>
        <source>qué pasaría si un candidato de un nodo cerrara sus brechas: su porcentaje y su banda recalculados (no escribe nada)</source>
        <translation>what if a candidate of a node closed his gaps: his percentage and band recomputed (writes nothing)</translation>
    </message>
</context>
</TS>
