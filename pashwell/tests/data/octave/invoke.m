% Calls the method `name` of `obj` with the remaining arguments.
function varargout = invoke(obj, name, varargin)
  [varargout{1:nargout}] = feval(name, obj, varargin{:});
end
