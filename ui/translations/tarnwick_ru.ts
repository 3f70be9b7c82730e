<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>tarnwick::ConfirmationDialog</name>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>tarnwick::DisplayCheck</name>
    <message>
        <source>no display is set (DISPLAY and WAYLAND_DISPLAY are empty)</source>
        <translation>дисплей не задан (DISPLAY и WAYLAND_DISPLAY пусты)</translation>
    </message>
    <message>
        <source>cannot connect to the X display &quot;%1&quot;</source>
        <translation>не удаётся подключиться к X-дисплею &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Tarnwick needs a graphical display: %1.</source>
        <translation>Для работы Tarnwick нужен графический дисплей: %1.</translation>
    </message>
</context>
<context>
    <name>tarnwick::ImportDialog</name>
    <message>
        <source>locus</source>
        <translation>локус</translation>
    </message>
    <message>
        <source>population</source>
        <translation>популяция</translation>
    </message>
    <message>
        <source>sample</source>
        <translation>образец</translation>
    </message>
    <message>
        <source>count</source>
        <translation>число</translation>
    </message>
    <message>
        <source>other</source>
        <translation>другое</translation>
    </message>
    <message>
        <source>Import database</source>
        <translation>Импорт базы данных</translation>
    </message>
    <message>
        <source>Import haplotype(s) for search</source>
        <translation>Импорт гаплотипов для поиска</translation>
    </message>
    <message>
        <source>All sheets</source>
        <translation>Все листы</translation>
    </message>
    <message>
        <source>&amp;Mark each column as locus, population, sample, count or other:</source>
        <translation>&amp;Отметьте роль каждого столбца: локус, популяция, образец, число или другое:</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Файл:</translation>
    </message>
    <message>
        <source>&amp;Sheet:</source>
        <translation>&amp;Лист:</translation>
    </message>
    <message>
        <source>Result:</source>
        <translation>Результат:</translation>
    </message>
    <message>
        <source>Reading the whole file...</source>
        <translation>Чтение всего файла...</translation>
    </message>
</context>
<context>
    <name>tarnwick::LeftOutMenDialog</name>
    <message>
        <source>Men left out</source>
        <translation>Исключённые из анализа</translation>
    </message>
    <message numerus="yes">
        <source>%n men left out of the analysis: row in the database, population, and the first locus that is not one whole repeat count.</source>
        <translation>
            <numerusform>Исключено из анализа мужчин: %n. Для каждого указаны строка в базе данных, популяция и первый локус, где нет одного целого числа повторов.</numerusform>
            <numerusform>Исключено из анализа мужчин: %n. Для каждого указаны строка в базе данных, популяция и первый локус, где нет одного целого числа повторов.</numerusform>
            <numerusform>Исключено из анализа мужчин: %n. Для каждого указаны строка в базе данных, популяция и первый локус, где нет одного целого числа повторов.</numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation>&amp;Сохранить...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Men left out saved</source>
        <translation>Список исключённых сохранён</translation>
    </message>
</context>
<context>
    <name>tarnwick::StructurePlot</name>
    <message>
        <source>Cannot encode the plot as PNG for &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot save the plot as &quot;%1&quot;: give a name ending in .svg or .png.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>tarnwick::StructureSettingsDialog</name>
    <message>
        <source>Population structure</source>
        <translation>Структура популяций</translation>
    </message>
    <message>
        <source>Distance:</source>
        <translation>Расстояние:</translation>
    </message>
    <message>
        <source>Permutations:</source>
        <translation>Число перестановок:</translation>
    </message>
    <message>
        <source>Significance level:</source>
        <translation>Уровень значимости:</translation>
    </message>
</context>
<context>
    <name>tarnwick::StructureWidget</name>
    <message>
        <source>Save plot</source>
        <translation>Сохранить график</translation>
    </message>
    <message>
        <source>SVG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PNG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save men left out</source>
        <translation>Сохранить список исключённых</translation>
    </message>
    <message>
        <source>Men left out...</source>
        <translation>Исключённые...</translation>
    </message>
    <message>
        <source>Pairwise %1 below the diagonal, p above; shaded: p &lt; %2</source>
        <translation>Попарные %1 ниже диагонали, p выше; выделены: p &lt; %2</translation>
    </message>
</context>
<context>
    <name>tarnwick::TForm1</name>
    <message>
        <source>Number of steps(max):</source>
        <translation type="unfinished">Число шагов (макс.):</translation>
    </message>
    <message>
        <source>Load database</source>
        <translation type="unfinished">Загрузка базы данных</translation>
    </message>
    <message>
        <source>Load haplotype(s) for search</source>
        <translation type="unfinished">Загрузка гаплотипов для поиска</translation>
    </message>
    <message>
        <source>Calculate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>By populations</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>By haplotype(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished">Сохранить</translation>
    </message>
    <message>
        <source>Comment:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>Import database...</source>
        <translation>Импорт базы данных...</translation>
    </message>
    <message>
        <source>Import haplotype(s) for search...</source>
        <translation>Импорт гаплотипов для поиска...</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Настройки</translation>
    </message>
    <message>
        <source>Number of steps(max)</source>
        <translation>Число шагов (макс.)</translation>
    </message>
    <message>
        <source>Read genotypes</source>
        <translation>Читать генотипы</translation>
    </message>
    <message>
        <source>&amp;Calculate</source>
        <translation>&amp;Вычисления</translation>
    </message>
    <message>
        <source>Match probabilities</source>
        <translation>Вероятности совпадения</translation>
    </message>
    <message>
        <source>Discrete Laplace</source>
        <translation>Дискретное распределение Лапласа</translation>
    </message>
    <message>
        <source>Population structure</source>
        <translation>Структура популяций</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>Instructions</source>
        <translation>Инструкция</translation>
    </message>
    <message>
        <source>About the programme</source>
        <translation>О программе</translation>
    </message>
</context>
<context>
    <name>tarnwick::TForm2</name>
    <message>
        <source>Load database</source>
        <translation>Загрузка базы данных</translation>
    </message>
</context>
<context>
    <name>tarnwick::TForm3</name>
    <message>
        <source>Load haplotype(s) for search</source>
        <translation>Загрузка гаплотипов для поиска</translation>
    </message>
</context>
<context>
    <name>tarnwick::TForm4</name>
    <message>
        <source>Errors were found in the dataset (see highlighted cells).
Please correct, and try again.</source>
        <translation>В данных найдены ошибки (см. выделенные ячейки).
Исправьте их и повторите попытку.</translation>
    </message>
    <message>
        <source>Number of errors:</source>
        <translation>Число ошибок:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Edit..</source>
        <translation>Правка..</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Attention: Data error.</source>
        <translation>Внимание: ошибка в данных.</translation>
    </message>
</context>
<context>
    <name>tarnwick::TForm5</name>
    <message>
        <source>Tarnwick compares Y-STR haplotypes with a database of reference haplotypes.

1. Load the database (&quot;Load database&quot;, Ctrl+O): seven descriptive columns, the population in the second, then one column per locus.
   Load the haplotypes to search for (&quot;Load haplotype(s) for search&quot;, Ctrl+Shift+O): a sample name, a comment, then loci. Loci are paired by their column titles.
   Both read the first worksheet of .xls, .xlsx and .ods workbooks, CSV and TSV text. Cells that hold no repeat count are counted and shown in red:
   &quot;Save&quot; writes a copy with them highlighted, &quot;Edit..&quot; lets you correct them in the table, &quot;Cancel&quot; drops the table.
   &quot;Import database...&quot; and &quot;Import haplotype(s) for search...&quot; read any table: they preview its columns, let you choose the sheet and each
   column&apos;s role (population, sample, count, locus), and say how many rows, men and loci result before anything is loaded.

2. Two readings of locus cells. By default a cell holds a whole repeat count: &quot;15.2&quot; is read as 15, a text such as &quot;NA&quot; is a fault, an empty cell a locus not typed.
   Settings, &quot;Read genotypes&quot; reads multi-copy loci (12,13), microvariants (13.2), null alleles and missing marks (NA, --) as geneticists write them;
   it applies to the loads that follow, and the title says &quot;genotypes&quot; while it is on.

3. Choose the step limit, the largest sum of repeat differences over the shared loci, in the box (0, 1, 2, 3 or any number typed)
   or with Settings, &quot;Number of steps(max)&quot;. &quot;Calculate&quot; (F5, or Enter in the box) lists every database haplotype within the limit,
   sorted by steps, with the loci where it differs. &quot;By populations&quot; counts each population&apos;s exact matches and one-, two- and
   three-step neighbours; &quot;By haplotype(s)&quot; returns to the matches.

4. Calculate, &quot;Match probabilities&quot; shows how often each searched haplotype occurs in each population and in all, with a 95 % confidence interval.
   Calculate, &quot;Population structure&quot; compares the populations (AMOVA, pairwise distances) and draws them as points of a map (MDS).
   Check Calculate, &quot;Discrete Laplace&quot; to add to the match probabilities each haplotype&apos;s probability under the discrete Laplace model,
   which also serves haplotypes seen once or never (fitted per population; it may take a while on large databases).

5. &quot;Save&quot; (Ctrl+S) writes the table shown: as CSV text under a .csv name, else as a spreadsheet file. Ctrl+C copies the selected cells.

6. The batch tool tarnwick-cli does the same work without the window, for scripted runs: tarnwick-cli --help lists its commands.
   File, &quot;Quit&quot; (Ctrl+Q) ends the program.</source>
        <translation>Для работы с Tarnwick загрузите два исходных файла: базу данных, с гаплотипами которой проводится сравнение (кнопка &quot;Load database&quot;),
и файл с анализируемыми данными (кнопка &quot;Load haplotype(s) for search&quot;). Программа читает файлы в форматах &quot;.xls&quot; и &quot;.csv&quot;.

В базе данных каждому признаку отведён свой столбец: популяция, к которой относится образец, номер образца, маркер, определяющий его гаплогруппу,
гаплогруппа и число повторов в каждом из исследуемых STR-локусов, по одному локусу на столбец. Файл для поиска содержит номер образца, комментарий к нему
и числа повторов в STR-локусах, также по одному признаку на столбец. Если в базе данных или в файле для поиска есть ошибки, программа предупредит об этом.

О скорости работы: программа уверенно справляется с большими базами данных (10 000 - 15 000 образцов), но быстрее всего работает, когда в файле для поиска
не больше 50 образцов; с ростом их числа расчёт заметно замедляется, поэтому наборы из более чем 50 образцов лучше загружать частями.

После загрузки выберите шаг (команда &quot;Number of steps(max)&quot;): наибольшее суммарное различие по всем маркерам между гаплотипом и базой данных.
Шаги 0, 1, 2 и 3 предложены готовыми, можно ввести и любое другое число; выбор зависит от задач исследования.

Затем запустите сравнение всех гаплотипов кнопкой &quot;Calculate&quot;. По его окончании будут показаны гаплотипы базы данных, ближайшие к искомым в пределах выбранного шага.
Результаты можно просматривать по-разному. &quot;By haplotype(s)&quot; даёт таблицу с номером искомого гаплотипа, номером найденного гаплотипа базы, числом локусов,
в которых они совпадают, числом шагов, на которое гаплотип базы отличается, локусом или локусами, в которых лежит различие, и всеми сведениями об этом гаплотипе базы.
&quot;By populations&quot; перестраивает результаты и показывает, сколько совпадений с искомыми гаплотипами найдено в каждой популяции.

Формат результатов
Результаты сохраняются в формате &quot;.csv&quot; или &quot;.xls&quot; кнопкой &quot;Save&quot;; результаты &quot;By populations&quot; и &quot;By haplotype(s)&quot; сохраняются каждый отдельно.

Завершение работы
Чтобы закончить работу с Tarnwick, откройте меню &quot;File&quot; и выберите &quot;Quit&quot;.</translation>
    </message>
    <message>
        <source>Instructions</source>
        <translation>Инструкция</translation>
    </message>
</context>
<context>
    <name>tarnwick::TForm6</name>
    <message>
        <source>Tarnwick software, version %1.

Compares Y-STR haplotypes by repeat steps.
Written by the Tarnwick team.
Built with Qt, libgsf, expat and libxlsxwriter.
Free to use in research and teaching.
Questions and reports of faults are welcome.
Thanks to everyone who shared population data.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About the programme</source>
        <translation>О программе</translation>
    </message>
</context>
<context>
    <name>tarnwick::TForm7</name>
    <message>
        <source>Number of steps(max):</source>
        <translation>Число шагов (макс.):</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Number of steps</source>
        <translation>Число шагов</translation>
    </message>
</context>
<context>
    <name>tarnwick::WindowWorkRunner</name>
    <message>
        <source>Cancel the work in progress?</source>
        <translation>Прервать выполняемую работу?</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Stopping...</source>
        <translation>Остановка...</translation>
    </message>
</context>
</TS>
