% Appends "name(arg,...)" to the global call list: texts in double quotes,
% numbers with %g.
function qht_record(name, args)
  global QHT_CALLS;
  parts = cell(1, numel(args));
  for i = 1:numel(args)
    if ischar(args{i})
      parts{i} = ['"' args{i} '"'];
    else
      parts{i} = sprintf('%g', args{i});
    end
  end
  QHT_CALLS{end + 1} = [name '(' strjoin(parts, ',') ')'];
end
