<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
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
</context>
</TS>
